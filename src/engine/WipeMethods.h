// The secure wipe methods: each overwrites one file in place pass by pass, then truncates,
// renames and deletes it, through the safety gate's file (GatedFile).
#pragma once

#include "engine/RunState.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

// Raised by a method when the file cannot be opened for writing; the file is left as the
// passes before that left it. Callers that walk many files catch it per file.
class WipeOpenError : public std::runtime_error {
public:
    // error: the Windows error of the failed open (GetLastError()); refusal: why the safety gate
    // refused the file, when it did.
    WipeOpenError(const std::string& path, unsigned long error, std::optional<std::string> refusal = std::nullopt);
    unsigned long Error() const { return error_; }
    // Why, in the account's words ("in use by another program", "refused: a link").
    std::string Reason() const;

private:
    std::string path_;
    unsigned long error_;
    std::optional<std::string> refusal_;
};

// How far a pass has come through its file.
struct PassProgress {
    int pass;      // 1-based
    int passCount; // the method's number of passes
    int64_t done;  // bytes written by this pass so far
    int64_t length;
};

// What a method watches and tells while it runs. The shredder passes its own stop flag and a
// label callback; the folder walks mark their files as walked.
struct WipeControl {
    // The stop flag tested before each pass (FinishWipedFile always tests StopRequested).
    const bool* stopFlag = &StopRequested;
    // Called with the pass number (1-based) after that pass's stop check, before the file is
    // opened for the pass; only the DoD, NSA and Gutmann methods call it.
    std::function<void(int pass)> beforePass;
    // Called after each pass has been written and flushed, and closed unless walkedFile is set (a
    // seam for tests and progress).
    std::function<void(int pass)> afterPass;
    // Called after each block a pass writes with how far that pass has come: bytes done out of the
    // file's length, and which pass of how many. Every method calls it; a file of one block calls it
    // once per pass, with done equal to length.
    std::function<void(const PassProgress& progress)> duringPass;
    // A file met in a folder walk, one of many. A file with more than one hard link is then only
    // unlinked, never overwritten: overwriting it would destroy the same data under its other
    // names (once StopRequested is set it is left). The file is opened once for all its passes
    // instead of once per pass, and window messages run at most every few milliseconds.
    bool walkedFile = false;
    // The file's attributes when the caller knows them already (from a folder search), which saves
    // asking for them again; INVALID_FILE_ATTRIBUTES when it does not.
    unsigned long knownAttributes = 0xFFFFFFFF;
    // Set, when given, to whether the file is gone at the end (deleted, or missing from the start).
    bool* deleted = nullptr;
};

// "DoD", "NSA", "Gutmann" select those methods (exact, case-sensitive); any other text selects
// the random method with the given pass count.
void WipeFileByMethod(const std::string& path, const std::string& method, int32_t passes,
                      const WipeControl& control = {});

void WipeFileDoD(const std::string& path, const WipeControl& control = {});
void WipeFileNSA(const std::string& path, const WipeControl& control = {});
void WipeFileGutmann(const std::string& path, const WipeControl& control = {});
// passes of 0 or less: the file is truncated, renamed and deleted without being overwritten. As
// in the fixed methods, window messages run and the stop flag is tested between passes, so Stop
// ends even a wipe of two billion passes within one pass.
void WipeFileRandom(const std::string& path, int32_t passes, const WipeControl& control = {});

// Truncates the file to zero length, renames it to the first free one-character name in its
// folder and deletes it. Every failure is swallowed.
void FinishWipedFile(const std::string& path);

// The process-wide random byte source: seed := seed * 134775813 + 1, byte = top eight bits.
// The seed starts at 0 with the process and is never reseeded.
extern uint32_t WipeRandomSeed;
uint8_t NextRandomByte();
// The next count bytes of the same source, many at a time.
void FillRandomBytes(uint8_t* bytes, size_t count);

// The instruction sets the random source can fill its lanes with; FillRandomBytes takes the best
// this processor runs. The bytes are the same whichever fills them.
enum class RandomPath { Plain, Sse2, Avx2 };
bool RandomPathRuns(RandomPath path);
void FillRandomBytesBy(RandomPath path, uint8_t* bytes, size_t count);
