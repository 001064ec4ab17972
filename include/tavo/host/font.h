#pragma once
// A font object of the host: shared by reference between a control and its
// children; whoever changes it changes it for all holders.
#include <memory>
#include <string>

#include "tavo/host/host_export.h"
#include "tavo/host/object.h"

namespace tavo {

class TAVO_HOST_EXPORT Font : public Object {
public:
    // The host's largest font, in points; its Size refuses more.
    static constexpr double kMaxSize = 2048;

    Font() = default;
    Font(std::string name, double size, bool bold = false, bool italic = false)
        : name(std::move(name)), size(size), weight(bold ? 700 : 400), italic(italic) {}

    std::string name = "MS Sans Serif";
    double size = 8.25;  // points
    int charset = 0;
    int weight = 400;    // 700 is bold
    bool underline = false;
    bool italic = false;
    bool strikethrough = false;

    bool bold() const { return weight >= 700; }

    std::string className() const override { return "Font"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
};
using FontRef = std::shared_ptr<Font>;

}  // namespace tavo
