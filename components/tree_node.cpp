#include "tavo/components/tree_node.h"

#include "tavo/host/error.h"

namespace tavo {

bool TreeNode::isLastSibling() const {
    const std::shared_ptr<TreeNode> last = lastSibling();
    return last && last->sameNode(*this);
}

Variant TreeViewReads::nodeLevelMember(const Variant& index) {
    const TreeNodeRef node = nodeMember(index);
    if (!node) throwHostError(err::ObjectNotSet, "the node is Nothing");
    return node->levelMember();
}

bool TreeViewReads::disabledOrHidden() {
    const Variant enabled = enabledMember();
    const Variant visible = visibleMember();
    return enabled.toBoolean() == vbFalse || visible.toBoolean() == vbFalse;
}

}  // namespace tavo
