#pragma once
// Where `quillpost compose` writes each result, in which format, and whether
// it may write there: never over one of its own input photos, never over a
// device, FIFO or folder, and over an existing file only when asked.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/ComposeOptions.h"
#include "editor/composition/ResultFile.h"

namespace qp {

// `-o -` sends the one result to standard output.
inline constexpr const char* kStandardOutputName = "-";
inline constexpr const char* kOutputSuffix = "-square";

struct FormatProblem {
    std::string text;
};

// The result format: `--format` (any letter case) when given, else what the
// `-o` name's extension says, else JPEG. A name whose extension contradicts
// `--format`, or one that says nothing without it, is a problem.
std::variant<ResultFormat, FormatProblem> resultFormatFor(const ComposeOptions& options);

const char* extensionFor(ResultFormat format);

// The result's path for `photo`: `-o`, else `<stem>-square.<ext>` in
// `--out-dir` or beside the photo.
std::filesystem::path outputFor(const ComposeOptions& options, const std::filesystem::path& photo,
                                ResultFormat format);

// The file a path leads to (links followed), to tell when two names are one.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> identityOf(const std::filesystem::path& path);

struct InputFile {
    std::filesystem::path path;
    std::optional<FileIdentity> identity;
};
std::vector<InputFile> identifyInputs(const std::vector<std::string>& photos);

enum class TargetVerdict {
    Write,   // a new name, or a regular file that --force replaces
    Keep,    // an existing file, kept without --force
    Refuse,  // writing there would lose data or replace something not ours
};
struct TargetCheck {
    TargetVerdict verdict = TargetVerdict::Write;
    std::string reason;  // for Keep and Refuse
};

// Whether the result may be written to `output`. An output that is one of
// `inputs` is refused even with --force, unless that input is itself an
// earlier Quillpost result (composing it again is skipped anyway).
TargetCheck checkOutputTarget(const std::filesystem::path& output, bool force,
                              const std::vector<InputFile>& inputs);

}  // namespace qp
