#include "cli/ComposeTargets.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include <fmt/format.h>

#include "cli/TerminalText.h"
#include "imaging/PhotoFile.h"
#include "imaging/ResultMarker.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::optional<ResultFormat> formatNamed(const std::string& name) {
    const std::string n = lowered(name);
    if (n == "jpeg" || n == "jpg") return ResultFormat::Jpeg;
    if (n == "png") return ResultFormat::Png;
    return std::nullopt;
}

const char* formatWord(ResultFormat format) {
    return format == ResultFormat::Png ? "PNG" : "JPEG";
}

bool isEarlierResult(const fs::path& path) {
    Result<QByteArray> bytes = readPhotoFile(path.string());
    return bytes && carriesResultMarker(*bytes);
}

}  // namespace

std::variant<ResultFormat, FormatProblem> resultFormatFor(const ComposeOptions& options) {
    std::optional<ResultFormat> asked;
    if (!options.format.empty()) {
        asked = formatNamed(options.format);
        if (!asked) {
            return FormatProblem{
                fmt::format("unknown format '{}' (jpeg or png)", printable(options.format))};
        }
    }
    if (options.output.empty() || options.output == kStandardOutputName) {
        return asked.value_or(ResultFormat::Jpeg);
    }
    const std::string extension = lowered(fs::path(options.output).extension().string());
    const std::optional<ResultFormat> named =
        extension.empty() ? std::nullopt : formatNamed(extension.substr(1));
    if (!named) {
        if (asked) return *asked;
    } else if (!asked || asked == named) {
        return *named;
    } else {
        return FormatProblem{fmt::format("-o {} names a {} file, but --format asks for {}",
                                         printable(options.output), formatWord(*named),
                                         formatWord(*asked))};
    }
    return FormatProblem{fmt::format(
        "cannot tell the result's format from the name {}: end it in .jpg or .png, or give "
        "--format",
        printable(options.output))};
}

const char* extensionFor(ResultFormat format) {
    return format == ResultFormat::Png ? ".png" : ".jpg";
}

fs::path outputFor(const ComposeOptions& options, const fs::path& photo, ResultFormat format) {
    if (!options.output.empty()) return options.output;
    const std::string name = photo.stem().string() + kOutputSuffix + extensionFor(format);
    if (!options.outputDir.empty()) return fs::path(options.outputDir) / name;
    return photo.parent_path() / name;
}

std::optional<FileIdentity> identityOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

std::vector<InputFile> identifyInputs(const std::vector<std::string>& photos) {
    std::vector<InputFile> inputs;
    inputs.reserve(photos.size());
    for (const std::string& photo : photos) inputs.push_back({photo, identityOf(photo)});
    return inputs;
}

TargetCheck checkOutputTarget(const fs::path& output, bool force,
                              const std::vector<InputFile>& inputs) {
    struct stat info {};
    if (::stat(output.c_str(), &info) != 0) return {};  // a new name
    const FileIdentity identity{info.st_dev, info.st_ino};
    const auto input = std::find_if(inputs.begin(), inputs.end(),
                                    [&](const InputFile& in) { return in.identity == identity; });
    if (input != inputs.end() && !isEarlierResult(input->path)) {
        return {TargetVerdict::Refuse,
                fmt::format("the result would replace the photo {} itself; choose another -o "
                            "name or --out-dir",
                            printable(input->path.string()))};
    }
    if (S_ISDIR(info.st_mode)) {
        return {TargetVerdict::Refuse,
                fmt::format("{} is a folder; name a file, or use --out-dir for a folder",
                            printable(output.string()))};
    }
    if (!S_ISREG(info.st_mode)) {
        return {TargetVerdict::Refuse,
                fmt::format("{} is not a regular file (a device, pipe or socket); results are "
                            "written only to regular files or new names (-o - writes to "
                            "standard output)",
                            printable(output.string()))};
    }
    if (!force) {
        return {TargetVerdict::Keep, fmt::format("{} already exists and is kept (--force "
                                                 "replaces it)",
                                                 printable(output.string()))};
    }
    return {};
}

}  // namespace qp
