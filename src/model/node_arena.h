// NodeArena: the expression nodes of one program. Nodes never own their
// children (subtrees are shared freely), so the program owns every node
// through its arena, and releasing a program releases exactly its own nodes:
// a program kept by a host stays whole whatever other programs do.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// What an arena can own: anything with a virtual destructor.
class ArenaNode {
public:
    ArenaNode() = default;
    ArenaNode(const ArenaNode&) = delete;
    ArenaNode& operator=(const ArenaNode&) = delete;
    virtual ~ArenaNode() = default;

    // The poll of the arena that made the node (NodeArena::SetPoll), for long
    // compile-time work that makes no nodes; an empty function when none.
    const std::function<void()>* arenaPoll = nullptr;
};

class NodeArena {
public:
    NodeArena() = default;
    NodeArena(NodeArena&&) noexcept = default;
    NodeArena& operator=(NodeArena&& other) noexcept {
        Clear();
        m_nodes = std::move(other.m_nodes);
        other.m_nodes.clear();
        return *this;
    }
    ~NodeArena() { Clear(); }

    template <class T, class... Args>
    T* Make(Args&&... args) {
        if (m_poll && ++m_sincePoll >= kPollEvery) {
            m_sincePoll = 0;
            m_poll();
        }
        auto node = std::make_unique<T>(std::forward<Args>(args)...);
        T* made = node.get();
        made->arenaPoll = &m_poll;
        m_nodes.push_back(std::move(node));
        return made;
    }

    size_t Size() const { return m_nodes.size(); }

    // Called once per kPollEvery new nodes while set (the compile phase
    // stops through it by throwing); an empty function removes it.
    void SetPoll(std::function<void()> poll) {
        m_poll = std::move(poll);
        m_sincePoll = 0;
    }
    static constexpr unsigned kPollEvery = 4096;

    // Hands every node over and leaves this arena empty: the search keeps its
    // own copies of the compiled conditions and releases the parsed ones.
    NodeArena TakeAll() {
        NodeArena taken;
        taken.m_nodes.swap(m_nodes);
        return taken;
    }

    // Destroys the nodes newest first. Destroying a node never touches its
    // children, so any order would do.
    void Clear() {
        while (!m_nodes.empty()) m_nodes.pop_back();
        m_nodes.shrink_to_fit();
    }

private:
    std::vector<std::unique_ptr<ArenaNode>> m_nodes;
    std::function<void()> m_poll;
    unsigned m_sincePoll = 0;
};
