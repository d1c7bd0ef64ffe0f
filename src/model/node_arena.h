// NodeArena: the expression nodes of one program. Nodes never own their
// children (subtrees are shared freely), so the program owns every node
// through its arena, and releasing a program releases exactly its own nodes:
// a program kept by a host stays whole whatever other programs do.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <new>
#include <type_traits>
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
    NodeArena(NodeArena&& other) noexcept
        : m_poll(std::move(other.m_poll)), m_sincePoll(other.m_sincePoll) {
        Take(other);
    }
    NodeArena& operator=(NodeArena&& other) noexcept {
        Clear();
        Take(other);
        return *this;
    }
    ~NodeArena() { Clear(); }

    template <class T, class... Args>
    T* Make(Args&&... args) {
        static_assert(std::is_base_of_v<ArenaNode, T> && alignof(T) <= kAlignment);
        if (m_poll && ++m_sincePoll >= kPollEvery) {
            m_sincePoll = 0;
            m_poll();
        }
        void* place = Allocate(sizeof(T));
        // The slot first: a node whose construction throws leaves it empty,
        // and a node constructed always has one.
        m_nodes.push_back(nullptr);
        T* made = new (place) T(std::forward<Args>(args)...);
        made->arenaPoll = &m_poll;
        m_nodes.back() = made;
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
        taken.Take(*this);
        return taken;
    }

    // Destroys the nodes newest first, then frees their memory. Destroying a
    // node never touches its children, so any order would do.
    void Clear() {
        for (size_t i = m_nodes.size(); i-- > 0;)
            if (m_nodes[i] != nullptr) m_nodes[i]->~ArenaNode();
        m_nodes.clear();
        m_nodes.shrink_to_fit();
        m_blocks.clear();
        m_blocks.shrink_to_fit();
        m_left = 0;
    }

private:
    // Nodes are placed one after another in blocks of this many bytes: a
    // puzzle makes thousands of small nodes, and one allocation each cost
    // more than the rest of making them, and as much again to free them.
    static constexpr size_t kBlockBytes = 16384;
    static constexpr size_t kAlignment = alignof(std::max_align_t);

    void* Allocate(size_t size) {
        size = (size + kAlignment - 1) / kAlignment * kAlignment;
        if (size > m_left) {
            const size_t bytes = std::max(size, kBlockBytes);
            std::unique_ptr<std::byte[]> block(new std::byte[bytes]);  // left unwritten
            m_blocks.push_back(std::move(block));
            m_next = m_blocks.back().get();
            m_left = bytes;
        }
        void* place = m_next;
        m_next += size;
        m_left -= size;
        return place;
    }

    // Takes other's nodes and memory; other is left empty. The poll is not
    // taken: a move assignment keeps this arena's own.
    void Take(NodeArena& other) {
        m_nodes = std::move(other.m_nodes);
        m_blocks = std::move(other.m_blocks);
        m_next = other.m_next;
        m_left = other.m_left;
        other.m_nodes.clear();
        other.m_blocks.clear();
        other.m_left = 0;
    }

    std::vector<ArenaNode*> m_nodes;                     // every node made, oldest first
    std::vector<std::unique_ptr<std::byte[]>> m_blocks;  // the memory they stand in
    std::byte* m_next = nullptr;                         // the free rest of the newest block
    size_t m_left = 0;
    std::function<void()> m_poll;
    unsigned m_sincePoll = 0;
};
