#include "tavo/host/form_file.h"

namespace tavo {

std::string formFileMessage(const std::string& file, int line, const std::string& key, const std::string& what) {
    std::string text = file;
    if (line > 0) text += (text.empty() ? "line " : ":") + std::to_string(line);
    if (!key.empty()) text += (text.empty() ? "" : ": ") + key;
    return text + (text.empty() ? "" : ": ") + what;
}

namespace {

// What went wrong in a save. The new contents are written beside the form
// file, which is not touched before they take its place.
std::string saveProblem(const FileError& e) {
    switch (e.step()) {
    case FileStep::Replace: return "cannot save over it: " + e.reason() + " (nothing was written; save under another name)";
    case FileStep::Create: return "cannot save: cannot create the new file beside it: " + e.reason();
    case FileStep::Rename:
        return "cannot save: cannot put the new file in its place: " + e.reason() + " (the old file is unchanged)";
    default:
        return std::string("cannot save: cannot ") + fileStepVerb(e.step()) + " the new file: " + e.reason() +
               " (the old file is unchanged)";
    }
}

std::string limitText() { return byteSizeText(kMaxFormFileBytes) + ", the most a form file may hold"; }

}  // namespace

FormFileError::FormFileError(std::string file, int line, std::string key, const std::string& what)
    : std::runtime_error(formFileMessage(file, line, key, what)),
      file_(std::move(file)),
      line_(line),
      key_(std::move(key)) {}

FormData readFormFile(const std::string& path, FileSystem& files) {
    std::string text;
    try {
        text = files.readFile(path, kMaxFormFileBytes);
    } catch (const FileTooLarge&) {
        throw FormFileError(path, 0, "", "cannot read the form file: it holds more than " + limitText());
    } catch (const FileError& e) {
        const char* step = e.step() == FileStep::Open ? "cannot open the form file: " : "cannot read the form file: ";
        throw FormFileError(path, 0, "", step + e.reason());
    }
    return parseFormText(text, path);
}

void saveFormFile(const std::string& path, const FormData& form, FileSystem& files) {
    if (path.empty()) throw FormFileError("", 0, "", "cannot save: the file name is empty; name the file to save to");
    const std::string text = formatFormText(form, path);
    if (text.size() > kMaxFormFileBytes)
        throw FormFileError(path, 0, "", "cannot save: the form would take more than " + limitText() +
                                             " (the old file is unchanged)");
    try {
        replaceFile(files, path, text);
    } catch (const FileError& e) {
        throw FormFileError(path, 0, "", saveProblem(e));
    }
}

}  // namespace tavo
