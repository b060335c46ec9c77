#include "engine/WipeMethods.h"

#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "platform/Messages.h"
#include "platform/FileWrites.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstring>
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

// Each of 32 lanes takes every 32nd step of the same stream, so the multiplications of a round do
// not wait for one another and the compiler does them side by side in vector registers (256 MiB
// in about 0.06 s against 0.1 s with eight lanes and 0.5 s one step at a time).
constexpr unsigned kLanes = 32;
constexpr LcgStep kLaneStep = StepsOf(kLanes);

// Fills whole rounds of kLanes bytes from the state after seed; returns the state after the last
// byte written and sets done to the bytes written (a multiple of kLanes, 0 for fewer than two
// rounds). Inlined into each of the fillers below, each compiled for its own instruction set.
inline __attribute__((always_inline)) uint32_t FillRounds(uint8_t* bytes, size_t count, uint32_t seed, size_t& done) {
    done = 0;
    if (count < 2 * kLanes) {
        return seed;
    }
    uint32_t lanes[kLanes];
    for (unsigned j = 0; j < kLanes; ++j) {
        seed = seed * kOneStep.multiplier + kOneStep.increment;
        lanes[j] = seed;
    }
    // Each round takes the top bytes of the states it holds, then steps every lane kLanes on. The
    // round's bytes are gathered in a local array and copied out whole (and the count kept in a
    // local), so the compiler need not fear that a byte written lands in a lane or in the count.
    size_t written = 0;
    for (; written + kLanes <= count; written += kLanes) {
        uint8_t round[kLanes];
        for (unsigned j = 0; j < kLanes; ++j) {
            round[j] = static_cast<uint8_t>(lanes[j] >> 24);
        }
        std::memcpy(bytes + written, round, kLanes);
        seed = lanes[kLanes - 1]; // the state of the last byte written
        for (unsigned j = 0; j < kLanes; ++j) {
            lanes[j] = lanes[j] * kLaneStep.multiplier + kLaneStep.increment;
        }
    }
    done = written;
    return seed;
}

using RoundsFiller = uint32_t (*)(uint8_t*, size_t, uint32_t, size_t&);

uint32_t FillRoundsPlain(uint8_t* bytes, size_t count, uint32_t seed, size_t& done) {
    return FillRounds(bytes, count, seed, done);
}

#if defined(__i386__) || defined(__x86_64__)
// The 32-bit program is built for processors without SSE2 (Windows XP runs on them); where the
// processor has SSE2 or AVX2 the same rounds run in its wider registers.
__attribute__((target("sse2"))) uint32_t FillRoundsSse2(uint8_t* bytes, size_t count, uint32_t seed, size_t& done) {
    return FillRounds(bytes, count, seed, done);
}
__attribute__((target("avx2"))) uint32_t FillRoundsAvx2(uint8_t* bytes, size_t count, uint32_t seed, size_t& done) {
    return FillRounds(bytes, count, seed, done);
}
#endif

RoundsFiller FillerOf(RandomPath path) {
    switch (path) {
#if defined(__i386__) || defined(__x86_64__)
    case RandomPath::Sse2:
        return FillRoundsSse2;
    case RandomPath::Avx2:
        return FillRoundsAvx2;
#endif
    default:
        return FillRoundsPlain;
    }
}

void FillRandomBytesWith(RoundsFiller filler, uint8_t* bytes, size_t count) {
    size_t done = 0;
    uint32_t seed = filler(bytes, count, WipeRandomSeed, done);
    for (; done < count; ++done) {
        seed = seed * kOneStep.multiplier + kOneStep.increment;
        bytes[done] = static_cast<uint8_t>(seed >> 24);
    }
    WipeRandomSeed = seed;
}

} // namespace

bool RandomPathRuns(RandomPath path) {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();
    switch (path) {
    case RandomPath::Sse2:
        return __builtin_cpu_supports("sse2");
    case RandomPath::Avx2:
        // Also false where Windows does not keep the wide registers across thread switches (XP).
        return __builtin_cpu_supports("avx2");
    default:
        return true;
    }
#else
    return path == RandomPath::Plain;
#endif
}

void FillRandomBytesBy(RandomPath path, uint8_t* bytes, size_t count) {
    FillRandomBytesWith(FillerOf(path), bytes, count);
}

void FillRandomBytes(uint8_t* bytes, size_t count) {
    static const RoundsFiller best = FillerOf(RandomPathRuns(RandomPath::Avx2)   ? RandomPath::Avx2
                                              : RandomPathRuns(RandomPath::Sse2) ? RandomPath::Sse2
                                                                                 : RandomPath::Plain);
    FillRandomBytesWith(best, bytes, count);
}

WipeOpenError::WipeOpenError(const std::string& path, unsigned long error, std::optional<std::string> refusal)
    : std::runtime_error("Cannot open " + path + " for writing"), path_(path), error_(error),
      refusal_(std::move(refusal)) {}

std::string WipeOpenError::Reason() const {
    return refusal_ ? "refused: " + *refusal_ : OpenFailureReason(path_, error_);
}

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
    kRandom,
    kRandom,
    kRandom,
    kRandom,
    ByteOf(0x55),
    ByteOf(0xAA),
    TripletOf(0x92, 0x49, 0x24),
    TripletOf(0x49, 0x24, 0x92),
    TripletOf(0x24, 0x92, 0x49),
    ByteOf(0x00),
    ByteOf(0x11),
    ByteOf(0x22),
    ByteOf(0x33),
    ByteOf(0x44),
    ByteOf(0x55),
    ByteOf(0x66),
    ByteOf(0x77),
    ByteOf(0x88),
    ByteOf(0x99),
    ByteOf(0xAA),
    ByteOf(0xBB),
    ByteOf(0xCC),
    ByteOf(0xDD),
    ByteOf(0xEE),
    ByteOf(0xFF),
    TripletOf(0x92, 0x49, 0x24),
    TripletOf(0x49, 0x24, 0x92),
    TripletOf(0x24, 0x92, 0x49),
    TripletOf(0x6D, 0xB6, 0xDB),
    TripletOf(0xB6, 0xDB, 0x6D),
    TripletOf(0xDB, 0x6D, 0xB6),
    kRandom,
    kRandom,
    kRandom,
    kRandom,
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

// Lets window messages run; when throttled (for the files of a walk, and between the blocks of a
// pass) only when some time has passed since they last ran here. A small file's passes take well
// under a millisecond each, and asking Windows for messages costs more than the pass itself; a few
// milliseconds of delay keep Stop, the tray menu and the hotkeys as quick as ever.
constexpr DWORD kMessageIntervalMs = 10;
DWORD lastMessagesTick = 0;

void LetMessagesRun(bool throttled) {
    DWORD now = GetTickCount();
    if (!throttled || now - lastMessagesTick >= kMessageIntervalMs) {
        ProcessMessages();
        lastMessagesTick = GetTickCount();
    }
}

// The file a method wipes. A file named on its own is reopened for every pass; a file of a walk,
// one of many, is opened at its first pass and stays open through every pass, since every open
// costs a trip to the file system and a search of the folder. Either way the truncation, the rename
// and the delete go through the safety gate's one last handle.
struct Victim {
    const std::string& path;
    DWORD attributes;
    bool walked;
    GatedFile file;
    bool deleted = false; // set by Delete once the file is gone

    Victim(const std::string& path, DWORD attributes, bool walked)
        : path(path), attributes(attributes), walked(walked), file(path, attributes) {}

    // Opens the file for writing unless it is open already; raises WipeOpenError when it cannot.
    HANDLE Open() {
        HANDLE handle = file.Open();
        if (!handle) {
            throw WipeOpenError(path, GetLastError(), file.Refusal());
        }
        return handle;
    }

    bool RenameTo(const std::string& target) { return file.RenameTo(target); }
    void Delete(const std::string& current) { deleted = file.Delete(current); }
};

// Overwrites the file's whole current length from offset 0 with the pass's bytes, in large
// blocks, and flushes it to the disk, so that every pass really reaches the disk. A fixed pass's
// block is filled once. Between blocks window messages run every few milliseconds, so a long pass
// never freezes the window: asking Windows for messages after every block cost a sixth of the
// pass's time.
void RunPass(Victim& victim, const Pass& pass, const WipeControl& control, int number, int32_t passCount) {
    HANDLE file = victim.Open();
    int64_t length = FileLength(file);
    if (length <= 0 || !RewindFile(file)) {
        return;
    }
    const bool random = pass.kind == Pass::Random;
    std::vector<uint8_t> block(static_cast<size_t>(std::min<int64_t>(length, kBlockSize)));
    if (!random) {
        FillPattern(block, pass);
    }
    for (int64_t done = 0; done < length;) {
        const size_t count = static_cast<size_t>(std::min<int64_t>(length - done, kBlockSize));
        if (random) {
            FillRandomBytes(block.data(), count);
        }
        if (WriteFull(file, block.data(), count) != count) {
            break;
        }
        done += static_cast<int64_t>(count);
        if (control.duringPass) {
            control.duringPass({number, static_cast<int>(passCount), done, length});
        }
        if (done < length) {
            LetMessagesRun(true);
        }
    }
    FlushFileBuffers(file);
    if (!victim.walked) {
        victim.file.Close();
    }
}

bool Stopped(const WipeControl& control) { return control.stopFlag && *control.stopFlag; }

// A junction or symbolic link is never overwritten: its target may be anything on the disk.
bool IsMissingOrLink(DWORD attributes) {
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Truncates, renames and deletes the file; the open handle, when there is one, is the one the
// passes wrote through. Every failure is swallowed.
void FinishVictim(Victim& victim) {
    try {
        if (!victim.file.IsOpen()) {
            ClearGuardingAttributes(victim.path, victim.attributes);
        }
        victim.Open();
        if (!victim.file.Truncate()) {
            return;
        }
        if (!victim.file.MayDelete()) {
            victim.file.Close();
        }
        LetMessagesRun(victim.walked);
        if (StopRequested) {
            return;
        }
        std::string folder = FolderOf(victim.path);
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
            if (victim.RenameTo(target)) {
                victim.Delete(target);
                return;
            }
            DWORD taken = GetAttributes(target);
            if (taken == INVALID_FILE_ATTRIBUTES || (taken & FILE_ATTRIBUTE_DIRECTORY)) {
                break;
            }
        }
        victim.Delete(victim.path);
    } catch (...) {
        // The finishing step never raises: whatever could not be done is left as it is.
    }
}

// A file of a walk with more than one hard link is only unlinked: its data lives on under its other
// names. True when that was done (or left, after Stop).
bool UnlinkedOnly(Victim& victim) {
    if (!victim.walked) {
        return false;
    }
    const std::optional<DWORD> links = LinkCountOfOpenFile(victim.Open());
    if (!links || *links <= 1) {
        return false;
    }
    if (!StopRequested) {
        victim.Delete(victim.path);
    }
    return true;
}

// Runs passCount passes (passAt(i) gives pass i, 0-based) and finishes the file. Window messages
// run and the stop flag is tested between passes: a small file is written in one block, so within
// a pass nothing lets messages through, and without this a long run of passes would leave Stop out
// of reach. Only the fixed methods tell beforePass.
template <typename PassAt>
void WipeWithPasses(const std::string& path, int32_t passCount, PassAt passAt, const WipeControl& control,
                    bool tellBeforePass) {
    LetMessagesRun(control.walkedFile);
    const DWORD attributes =
        control.knownAttributes != INVALID_FILE_ATTRIBUTES ? control.knownAttributes : GetAttributes(path);
    Victim victim(path, attributes, control.walkedFile);
    // Tells the caller whether the file is gone, whichever way this ends (a missing file is gone).
    struct Report {
        const Victim& victim;
        bool* deleted;
        ~Report() {
            if (deleted) {
                *deleted = victim.deleted || victim.attributes == INVALID_FILE_ATTRIBUTES;
            }
        }
    } report{victim, control.deleted};
    if (Stopped(control) || IsMissingOrLink(victim.attributes)) {
        return;
    }
    if (FindingPlan()) {
        // Found, not wiped: the file as it stands goes into the plan, or why it cannot be erased now.
        if (!victim.file.Find()) {
            throw WipeOpenError(path, GetLastError(), victim.file.Refusal());
        }
        victim.deleted = true;
        return;
    }
    ClearGuardingAttributes(path, victim.attributes);
    if (UnlinkedOnly(victim)) {
        return;
    }
    for (int32_t i = 0; i < passCount; ++i) {
        int number = i + 1;
        if (i > 0) {
            LetMessagesRun(victim.walked);
        }
        if (Stopped(control)) {
            return;
        }
        if (tellBeforePass && control.beforePass) {
            control.beforePass(number);
        }
        RunPass(victim, passAt(i), control, number, passCount);
        if (control.afterPass) {
            control.afterPass(number);
        }
    }
    FinishVictim(victim);
}

// The frame shared by the fixed-pass methods.
template <size_t N>
void WipeWithFixedPasses(const std::string& path, const Pass (&passes)[N], const WipeControl& control) {
    WipeWithPasses(
        path, static_cast<int32_t>(N), [&](int32_t i) -> const Pass& { return passes[i]; }, control, true);
}

} // namespace

void WipeFileDoD(const std::string& path, const WipeControl& control) {
    WipeWithFixedPasses(path, kDoDPasses, control);
}

void WipeFileNSA(const std::string& path, const WipeControl& control) {
    WipeWithFixedPasses(path, kNSAPasses, control);
}

void WipeFileGutmann(const std::string& path, const WipeControl& control) {
    WipeWithFixedPasses(path, kGutmannPasses, control);
}

void WipeFileRandom(const std::string& path, int32_t passes, const WipeControl& control) {
    WipeWithPasses(
        path, passes, [](int32_t) -> const Pass& { return kRandom; }, control, false);
}

void WipeFileByMethod(const std::string& path, const std::string& method, int32_t passes, const WipeControl& control) {
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
    Victim victim(path, GetAttributes(path), false);
    FinishVictim(victim);
}
