#pragma once
// Form files: one form a file, a block per control named by its registered
// class and instance name, its properties in the order they were written.
// The grammar is documented in the README. Every malformed input is a
// FormFileError naming the file, the line and (where there is one) the key.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/property_store.h"

namespace tavo {

struct Placement {
    float left = 0, top = 0, width = 0, height = 0;  // twips on the form
};

struct FormControlData {
    std::string className;  // "Library.Class"
    std::string name;
    Placement place;
    PropertyStore properties;
    int line = 0;
};

struct FormData {
    std::string name = "Form1";
    std::vector<FormControlData> controls;
};

class FormFileError : public std::runtime_error {
public:
    FormFileError(std::string file, int line, std::string key, const std::string& what);
    const std::string& file() const { return file_; }
    int line() const { return line_; }
    const std::string& key() const { return key_; }

private:
    std::string file_;
    int line_;
    std::string key_;
};

FormData parseFormText(std::string_view text, const std::string& fileName);
FormData readFormFile(const std::string& path);
// Throws FormFileError when a value cannot be written (an object that is neither
// a font, a picture nor a named control).
std::string formatFormText(const FormData& form);
// Writes a temporary file beside the target and renames it over the old one,
// so a failed save leaves the old file whole.
void saveFormFile(const std::string& path, const FormData& form);

}  // namespace tavo
