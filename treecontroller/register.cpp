#include "tavo/ssaddon/register.h"

#include "tavo/ssaddon/tavo_ss_tree_controller.h"

namespace tavo {

namespace {

MemberInfo property(std::string name, std::string type) {
    MemberInfo m;
    m.name = std::move(name);
    m.type = std::move(type);
    return m;
}

MemberInfo method(std::string name, std::vector<ParamInfo> params = {}) {
    MemberInfo m;
    m.kind = MemberKind::Method;
    m.name = std::move(name);
    m.canGet = false;
    m.canPut = false;
    m.params = std::move(params);
    return m;
}

}  // namespace

void registerTavoSSAddOn(ComponentRegistry& registry) {
    TypeInfo info;
    info.progId = TavoSSTreeController::kProgId;

    MemberInfo tree = property("mySSTree", "Object");
    tree.putByRef = true;

    info.members = {
        property("BackColor", "OLE_COLOR"),
        property("Enabled", "Boolean"),
        method("Refresh"),
        tree,
        method("ExpandAll", {{"myNode", "Object", true},
                             {"doExpanding", "Integer", false},
                             {"DoItForAllOnTheSameLevel", "Integer", false}}),
        property("ToolTipTextPlus", "String"),
        property("ToolTipTextPlusPlus", "String"),
        property("ToolTipTextMinusMinus", "String"),
        property("ToolTipTextMinus", "String"),
    };
    registry.add(std::move(info),
                 [](ControlSite& site) { return std::make_shared<TavoSSTreeController>(site); });
}

}  // namespace tavo
