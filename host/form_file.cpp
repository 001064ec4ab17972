#include "host/form_file.h"

namespace tavo {

namespace {

std::string composeMessage(const std::string& file, int line, const std::string& key, const std::string& what) {
    std::string text = file;
    if (line > 0) text += (text.empty() ? "line " : ":") + std::to_string(line);
    if (!key.empty()) text += (text.empty() ? "" : ": ") + key;
    return text + (text.empty() ? "" : ": ") + what;
}

// What went wrong in a save, from the temporary file's point of view: the
// form file itself is not touched before the rename.
std::string saveProblem(const FileError& e) {
    std::string problem = std::string("cannot save: cannot ") + fileStepVerb(e.step()) + " " + e.path();
    if (e.step() == FileStep::Rename) problem += " over the form file";
    problem += ": " + e.reason();
    if (e.step() != FileStep::Create) problem += " (the old file is unchanged)";
    return problem;
}

}  // namespace

FormFileError::FormFileError(std::string file, int line, std::string key, const std::string& what)
    : std::runtime_error(composeMessage(file, line, key, what)),
      file_(std::move(file)),
      line_(line),
      key_(std::move(key)) {}

FormData readFormFile(const std::string& path, FileSystem& files) {
    std::string text;
    try {
        text = files.readFile(path);
    } catch (const FileError& e) {
        const char* step = e.step() == FileStep::Open ? "cannot open the form file: " : "cannot read the form file: ";
        throw FormFileError(path, 0, "", step + e.reason());
    }
    return parseFormText(text, path);
}

void saveFormFile(const std::string& path, const FormData& form, FileSystem& files) {
    const std::string text = formatFormText(form, path);
    try {
        replaceFile(files, path, text);
    } catch (const FileError& e) {
        throw FormFileError(path, 0, "", saveProblem(e));
    }
}

}  // namespace tavo
