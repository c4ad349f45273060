#pragma once

// Generic ordered tree of nodes keyed by object pointer, used by the node
// manager. One Tree holds two roots: the ROOT root (tree id 0), whose nodes a
// listener hears of, and the ORPHAN root (tree id 1), which parks nodes whose
// parent object is not known yet. Every node except the ORPHAN root is entered
// in the tree's object map. A node owns its children.

#include <cstdint>
#include <map>
#include <vector>

namespace vnx {

template <class NodeT, class KeyT> class Tree;

enum TreeEvent_e : int
{
    TREE_NODE_ADDED = 1,
    TREE_NODE_REMOVED = 2,
};

template <class NodeT> class TreeListener
{
  public:
    virtual ~TreeListener() = default;
    virtual void treeEvent(NodeT* node, TreeEvent_e event) = 0;
};

template <class NodeT, class KeyT> class TreeNode
{
  public:
    using TreeType = Tree<NodeT, KeyT>;

    static constexpr int32_t ROOT_TREE_ID = 0;
    static constexpr int32_t ORPHAN_TREE_ID = 1;
    static constexpr int32_t NO_TREE_ID = -1;

    enum Eval_e : int
    {
        EVAL_PRE_ORDER = 0,  // a node before its children
        EVAL_POST_ORDER = 1, // a node after its children
    };

    class FunctorInterface
    {
      public:
        virtual ~FunctorInterface() = default;
        virtual void operator()(NodeT* node) = 0;
    };

    explicit TreeNode(KeyT object, int32_t treeId = NO_TREE_ID) : object_(object), treeId_(treeId) {}
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    /// Deletes the subtree (last child first); each deleted node leaves the
    /// object map. Listeners are not told: removal is announced by `remove`.
    virtual ~TreeNode()
    {
        while (!children_.empty()) {
            NodeT* child = children_.back();
            children_.pop_back();
            child->parent_ = nullptr;
            delete child;
        }
        if (tree_ != nullptr && inMap_) {
            tree_->map_.erase(object_);
        }
    }

    /// A detached copy of this node and its subtree, in no tree.
    virtual NodeT* cloneTreeNode() const = 0;

    KeyT getObject() const { return object_; }
    NodeT* getParent() const { return parent_; }
    const std::vector<NodeT*>& getChildren() const { return children_; }
    TreeType* getTree() const { return tree_; }

    /// The id of the first node up the parent chain that is a root: 0 in the
    /// ROOT tree, 1 in the ORPHAN tree, -1 for a detached subtree.
    int32_t getTreeId() const
    {
        const TreeNode* node = this;
        while (node->treeId_ < 0 && node->parent_ != nullptr) {
            node = node->parent_;
        }
        return node->treeId_;
    }

    /// True when `ancestor` is this node or one of its ancestors.
    bool isWithin(const NodeT* ancestor) const
    {
        for (const TreeNode* node = this; node != nullptr; node = node->parent_) {
            if (node == ancestor) {
                return true;
            }
        }
        return false;
    }

    /// Links `child` as the last child of this node, moving it (with its
    /// subtree) from its previous parent. Listeners hear of the removal from
    /// the old place and of the addition at the new one, for ROOT nodes only.
    /// Returns null when the child belongs to another tree or when the link
    /// would make a node its own ancestor.
    NodeT* add(NodeT* child)
    {
        if (child == nullptr || (child->tree_ != nullptr && child->tree_ != tree_) || isWithin(child)) {
            return nullptr;
        }
        if (child->tree_ == nullptr && tree_ != nullptr) {
            EnterFunctor enter(tree_);
            child->eval(enter, EVAL_PRE_ORDER);
        }
        if (child->parent_ == self()) {
            return child;
        }
        if (child->parent_ != nullptr) {
            child->parent_->remove(child);
        }
        child->parent_ = self();
        children_.push_back(child);
        AnnounceAddFunctor announce;
        child->eval(announce, EVAL_PRE_ORDER);
        return child;
    }

    /// Unlinks `child` from this node (without deleting it); listeners hear of
    /// the removal of every ROOT node of its subtree, children first. False
    /// when `child` is not a child of this node.
    bool remove(NodeT* child)
    {
        for (auto it = children_.begin(); it != children_.end(); ++it) {
            if (*it == child) {
                children_.erase(it);
                AnnounceRemoveFunctor announce;
                child->eval(announce, EVAL_POST_ORDER);
                child->parent_ = nullptr;
                return true;
            }
        }
        return false;
    }

    /// Calls `functor` on every node of the subtree, children in order.
    /// Children are visited by position so that a functor may add nodes.
    void eval(FunctorInterface& functor, Eval_e mode)
    {
        if (mode == EVAL_PRE_ORDER) {
            functor(self());
        }
        for (size_t i = 0; i < children_.size(); ++i) {
            children_[i]->eval(functor, mode);
        }
        if (mode == EVAL_POST_ORDER) {
            functor(self());
        }
    }

  protected:
    /// Appends a detached child without entering any tree (used by clones).
    void adoptDetached(NodeT* child)
    {
        child->parent_ = self();
        children_.push_back(child);
    }

  private:
    friend TreeType;

    // Tells the tree's listener of a node of the ROOT tree.
    template <TreeEvent_e Event> class AnnounceFunctor : public FunctorInterface
    {
      public:
        void operator()(NodeT* node) override
        {
            TreeType* tree = node->getTree();
            if (tree != nullptr && node->getTreeId() == ROOT_TREE_ID && tree->getListener() != nullptr) {
                tree->getListener()->treeEvent(node, Event);
            }
        }
    };
    using AnnounceAddFunctor = AnnounceFunctor<TREE_NODE_ADDED>;
    using AnnounceRemoveFunctor = AnnounceFunctor<TREE_NODE_REMOVED>;

    // Gives a detached subtree to a tree and enters it in the object map.
    class EnterFunctor : public FunctorInterface
    {
      public:
        explicit EnterFunctor(TreeType* tree) : tree_(tree) {}
        void operator()(NodeT* node) override
        {
            node->tree_ = tree_;
            node->inMap_ = tree_->map_.emplace(node->object_, node).second;
        }

      private:
        TreeType* tree_;
    };

    NodeT* self() { return static_cast<NodeT*>(this); }

    TreeType* tree_ = nullptr;
    NodeT* parent_ = nullptr;
    KeyT object_;
    std::vector<NodeT*> children_;
    int32_t treeId_;
    bool inMap_ = false; // whether the object map holds this node under its object
};

template <class NodeT, class KeyT> class Tree
{
  public:
    Tree() : root_(KeyT{}, NodeT::ROOT_TREE_ID), orphanRoot_(KeyT{}, NodeT::ORPHAN_TREE_ID)
    {
        root_.tree_ = this;
        root_.inMap_ = map_.emplace(KeyT{}, &root_).second;
        orphanRoot_.tree_ = this;
    }
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;
    virtual ~Tree() = default;

    NodeT& getRoot() { return root_; }
    const NodeT& getRoot() const { return root_; }
    NodeT& getOrphanRoot() { return orphanRoot_; }
    const NodeT& getOrphanRoot() const { return orphanRoot_; }

    /// The node standing for `object` in either tree, or null.
    NodeT* find(KeyT object) const
    {
        auto it = map_.find(object);
        return it == map_.end() ? nullptr : it->second;
    }

    TreeListener<NodeT>* getListener() const { return listener_; }

    /// Replaces the listener: the old one hears of the removal of every ROOT
    /// node (children first), the new one of the addition of every ROOT node
    /// (parents first).
    void setListener(TreeListener<NodeT>* listener)
    {
        if (listener_ != nullptr) {
            typename NodeT::AnnounceRemoveFunctor announce;
            root_.eval(announce, NodeT::EVAL_POST_ORDER);
        }
        listener_ = listener;
        if (listener_ != nullptr) {
            typename NodeT::AnnounceAddFunctor announce;
            root_.eval(announce, NodeT::EVAL_PRE_ORDER);
        }
    }

  private:
    friend TreeNode<NodeT, KeyT>;

    // Declared first so that it outlives the roots, whose destruction erases
    // their subtrees from it.
    std::map<KeyT, NodeT*> map_;
    NodeT root_;
    NodeT orphanRoot_;
    TreeListener<NodeT>* listener_ = nullptr;
};

} // namespace vnx
