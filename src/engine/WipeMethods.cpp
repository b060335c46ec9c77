#include "engine/WipeMethods.h"

#include "platform/Desktop.h"
#include "platform/Files.h"

#include <algorithm>
#include <vector>

uint32_t WipeRandomSeed = 0;

uint8_t NextRandomByte() {
    uint8_t byte;
    FillRandomBytes(&byte, 1);
    return byte;
}

namespace {

// The generator's step s -> a*s + c, and k steps of it composed: s -> A*s + C (mod 2^32).
struct LcgStep {
    uint32_t multiplier;
    uint32_t increment;
};
constexpr LcgStep kOneStep = {134775813u, 1u};

constexpr LcgStep StepsOf(unsigned count) {
    LcgStep composed = {1u, 0u};
    for (unsigned i = 0; i < count; ++i) {
        composed = {composed.multiplier * kOneStep.multiplier,
                    composed.increment * kOneStep.multiplier + kOneStep.increment};
    }
    return composed;
}

// Eight lanes each take every eighth step of the same stream, so the eight multiplications of a
// round do not wait for one another (and the compiler can do them side by side).
constexpr unsigned kLanes = 8;
constexpr LcgStep kLaneStep = StepsOf(kLanes);

} // namespace

void FillRandomBytes(uint8_t* bytes, size_t count) {
    uint32_t seed = WipeRandomSeed;
    size_t done = 0;
    if (count >= 2 * kLanes) {
        uint32_t lanes[kLanes];
        for (unsigned j = 0; j < kLanes; ++j) {
            seed = seed * kOneStep.multiplier + kOneStep.increment;
            lanes[j] = seed;
        }
        // Each round writes the bytes of the eight states it holds, then steps every lane eight on.
        for (; done + kLanes <= count; done += kLanes) {
            for (unsigned j = 0; j < kLanes; ++j) {
                bytes[done + j] = static_cast<uint8_t>(lanes[j] >> 24);
            }
            seed = lanes[kLanes - 1];
            for (unsigned j = 0; j < kLanes; ++j) {
                lanes[j] = lanes[j] * kLaneStep.multiplier + kLaneStep.increment;
            }
        }
    }
    for (; done < count; ++done) {
        seed = seed * kOneStep.multiplier + kOneStep.increment;
        bytes[done] = static_cast<uint8_t>(seed >> 24);
    }
    WipeRandomSeed = seed;
}

WipeOpenError::WipeOpenError(const std::string& path) : std::runtime_error("Cannot open " + path + " for writing") {}

namespace {

// What one pass writes: one byte everywhere, a three-byte pattern repeated from offset 0, or
// bytes from the random source.
struct Pass {
    enum Kind { Byte, Triplet, Random } kind;
    uint8_t pattern[3];
};

constexpr Pass ByteOf(uint8_t b) { return {Pass::Byte, {b, b, b}}; }
constexpr Pass TripletOf(uint8_t a, uint8_t b, uint8_t c) { return {Pass::Triplet, {a, b, c}}; }
constexpr Pass kRandom = {Pass::Random, {0, 0, 0}};

constexpr Pass kDoDPasses[] = {ByteOf(0x55), ByteOf(0xAA), kRandom};

constexpr Pass kNSAPasses[] = {ByteOf(0x00), ByteOf(0xFF), ByteOf(0x00), ByteOf(0xFF),
                               ByteOf(0x00), ByteOf(0xFF), kRandom};

constexpr Pass kGutmannPasses[] = {
    kRandom, kRandom, kRandom, kRandom,
    ByteOf(0x55), ByteOf(0xAA),
    TripletOf(0x92, 0x49, 0x24), TripletOf(0x49, 0x24, 0x92), TripletOf(0x24, 0x92, 0x49),
    ByteOf(0x00), ByteOf(0x11), ByteOf(0x22), ByteOf(0x33), ByteOf(0x44), ByteOf(0x55), ByteOf(0x66), ByteOf(0x77),
    ByteOf(0x88), ByteOf(0x99), ByteOf(0xAA), ByteOf(0xBB), ByteOf(0xCC), ByteOf(0xDD), ByteOf(0xEE), ByteOf(0xFF),
    TripletOf(0x92, 0x49, 0x24), TripletOf(0x49, 0x24, 0x92), TripletOf(0x24, 0x92, 0x49),
    TripletOf(0x6D, 0xB6, 0xDB), TripletOf(0xB6, 0xDB, 0x6D), TripletOf(0xDB, 0x6D, 0xB6),
    kRandom, kRandom, kRandom, kRandom,
};
static_assert(sizeof kGutmannPasses / sizeof kGutmannPasses[0] == 35, "the Gutmann method has 35 passes");

// A multiple of 3 and of 4096, so a three-byte pattern stays in phase from block to block.
constexpr size_t kBlockSize = 768 * 1024;
static_assert(kBlockSize % 3 == 0 && kBlockSize % 4096 == 0, "block size keeps patterns in phase");

// Fills a block with a fixed pass's bytes: one byte everywhere, or the three-byte pattern from
// offset 0 (the block size keeps it in phase from block to block). A single byte's pattern holds
// it three times, so one doubling copy serves both.
void FillPattern(std::vector<uint8_t>& block, const Pass& pass) {
    size_t filled = std::min<size_t>(3, block.size());
    std::copy_n(pass.pattern, filled, block.begin());
    while (filled < block.size()) {
        size_t more = std::min(filled, block.size() - filled);
        std::copy_n(block.begin(), more, block.begin() + static_cast<std::ptrdiff_t>(filled));
        filled += more;
    }
}

// Overwrites the file's whole current length from offset 0 with the pass's bytes, in large
// blocks, and flushes it to the disk before closing, so that every pass really reaches the disk.
// Window messages run between blocks so a long pass never freezes the window.
void RunPass(const std::string& path, const Pass& pass) {
    FileHandle file = OpenForOverwrite(path);
    if (!file) {
        throw WipeOpenError(path);
    }
    int64_t length = FileLength(file.get());
    if (length <= 0 || !RewindFile(file.get())) {
        return;
    }
    std::vector<uint8_t> block(static_cast<size_t>(std::min<int64_t>(length, kBlockSize)));
    if (pass.kind != Pass::Random) {
        FillPattern(block, pass);
    }
    for (int64_t done = 0; done < length;) {
        size_t count = static_cast<size_t>(std::min<int64_t>(length - done, kBlockSize));
        if (pass.kind == Pass::Random) {
            FillRandomBytes(block.data(), count);
        }
        if (!WriteFully(file.get(), block.data(), count)) {
            break;
        }
        done += static_cast<int64_t>(count);
        if (done < length) {
            ProcessMessages();
        }
    }
    FlushFileBuffers(file.get());
}

bool Stopped(const WipeControl& control) { return control.stopFlag && *control.stopFlag; }

// A junction or symbolic link is never overwritten: its target may be anything on the disk.
bool IsMissingOrLink(const std::string& path) {
    DWORD attributes = GetAttributes(path);
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void RunPassObserved(const std::string& path, const Pass& pass, int number, const WipeControl& control) {
    RunPass(path, pass);
    if (control.afterPass) {
        control.afterPass(number);
    }
}

// Runs passCount passes (passAt(i) gives pass i, 0-based) and finishes the file. Window messages
// run and the stop flag is tested between passes: a small file is written in one block, so within
// a pass nothing lets messages through, and without this a long run of passes would leave Stop out
// of reach. Only the fixed methods tell beforePass.
template <typename PassAt>
void RunPassesAndFinish(const std::string& path, int32_t passCount, PassAt passAt, const WipeControl& control,
                        bool tellBeforePass) {
    SetAttributes(path, 0);
    for (int32_t i = 0; i < passCount; ++i) {
        int number = i + 1;
        if (i > 0) {
            ProcessMessages();
        }
        if (Stopped(control)) {
            return;
        }
        if (tellBeforePass && control.beforePass) {
            control.beforePass(number);
        }
        RunPassObserved(path, passAt(i), number, control);
    }
    FinishWipedFile(path);
}

// The frame shared by the fixed-pass methods.
template <size_t N>
void WipeWithPasses(const std::string& path, const Pass (&passes)[N], const WipeControl& control) {
    ProcessMessages();
    if (Stopped(control) || IsMissingOrLink(path)) {
        return;
    }
    RunPassesAndFinish(
        path, static_cast<int32_t>(N), [&](int32_t i) -> const Pass& { return passes[i]; }, control, true);
}

} // namespace

void WipeFileDoD(const std::string& path, const WipeControl& control) { WipeWithPasses(path, kDoDPasses, control); }

void WipeFileNSA(const std::string& path, const WipeControl& control) { WipeWithPasses(path, kNSAPasses, control); }

void WipeFileGutmann(const std::string& path, const WipeControl& control) {
    WipeWithPasses(path, kGutmannPasses, control);
}

void WipeFileRandom(const std::string& path, int32_t passes, const WipeControl& control) {
    if (Stopped(control) || IsMissingOrLink(path)) {
        return;
    }
    RunPassesAndFinish(path, passes, [](int32_t) -> const Pass& { return kRandom; }, control, false);
}

void WipeFileByMethod(const std::string& path, const std::string& method, int32_t passes,
                      const WipeControl& control) {
    if (method == "DoD") {
        WipeFileDoD(path, control);
    } else if (method == "NSA") {
        WipeFileNSA(path, control);
    } else if (method == "Gutmann") {
        WipeFileGutmann(path, control);
    } else {
        WipeFileRandom(path, passes, control);
    }
}

void FinishWipedFile(const std::string& path) {
    try {
        SetAttributes(path, 0);
        {
            FileHandle file = OpenForOverwrite(path);
            if (!file || !SetEndOfFile(file.get())) {
                return;
            }
        }
        ProcessMessages();
        if (StopRequested) {
            return;
        }
        std::string folder = FolderOf(path);
        if (folder.empty()) {
            folder = ".\\";
        }
        // The first one-character name not taken by a file. A folder of that name does not count as
        // taken: the rename to it fails and the file is deleted under its own name. Trying the rename
        // itself (which refuses an existing name) looks each name up once instead of twice.
        for (char c = 'A'; c <= '~'; ++c) {
            if (c == '\\') {
                continue;
            }
            std::string target = folder + c;
            if (RenameFile(path, target)) {
                DeleteFileAt(target);
                return;
            }
            DWORD taken = GetAttributes(target);
            if (taken == INVALID_FILE_ATTRIBUTES || (taken & FILE_ATTRIBUTE_DIRECTORY)) {
                break;
            }
        }
        DeleteFileAt(path);
    } catch (...) {
        // The finishing step never raises: whatever could not be done is left as it is.
    }
}
