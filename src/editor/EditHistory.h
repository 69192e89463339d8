#pragma once
// The editor's undo and redo: a snapshot of the editor's state after every
// step, so undoing puts back exactly the state before it. The oldest steps
// go once the history holds `capacity` of them. Plain logic: the screen
// takes the snapshots and puts them back.

#include <cstddef>
#include <deque>
#include <optional>
#include <utility>

namespace qp {

// How many steps the editor keeps.
inline constexpr std::size_t kEditHistoryCapacity = 100;

template <typename State>
class EditHistory {
public:
    explicit EditHistory(State current, std::size_t capacity = kEditHistoryCapacity)
        : m_current(std::move(current)), m_capacity(capacity > 0 ? capacity : 1) {}

    // Starts afresh from `current` (a new photo): no step to undo or redo.
    void reset(State current) {
        m_current = std::move(current);
        m_undo.clear();
        m_redo.clear();
        m_typingOpen = false;
    }

    // A finished step left the editor in `after`. A step that changed
    // nothing is no step. A new step drops what could be redone.
    void record(State after) {
        m_typingOpen = false;
        push(std::move(after));
    }

    // Typing: keys in a row make one step, until another step, an undo or
    // a redo, or closeTyping() ends the run.
    void recordTyping(State after) {
        if (after == m_current) return;
        if (m_typingOpen && !m_undo.empty()) {
            m_current = std::move(after);
            m_redo.clear();
            return;
        }
        if (push(std::move(after))) m_typingOpen = true;
    }
    void closeTyping() { m_typingOpen = false; }

    // The state changed in a way that is not a step of its own (the pivot
    // moved under the square's centre, new pictures came for the theme):
    // it becomes the state the next step starts from.
    void amend(State now) { m_current = std::move(now); }

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    std::size_t undoCount() const { return m_undo.size(); }
    std::size_t redoCount() const { return m_redo.size(); }
    std::size_t capacity() const { return m_capacity; }
    const State& current() const { return m_current; }

    // The state to put back, or nullopt when there is nothing to undo/redo.
    std::optional<State> undo() { return travel(m_undo, m_redo); }
    std::optional<State> redo() { return travel(m_redo, m_undo); }

private:
    bool push(State after) {
        if (after == m_current) return false;
        m_undo.push_back(std::move(m_current));
        if (m_undo.size() > m_capacity) m_undo.pop_front();
        m_current = std::move(after);
        m_redo.clear();
        return true;
    }

    std::optional<State> travel(std::deque<State>& from, std::deque<State>& to) {
        m_typingOpen = false;
        if (from.empty()) return std::nullopt;
        to.push_back(std::move(m_current));
        m_current = std::move(from.back());
        from.pop_back();
        return m_current;
    }

    State m_current;
    std::deque<State> m_undo;
    std::deque<State> m_redo;
    std::size_t m_capacity;
    bool m_typingOpen = false;
};

}  // namespace qp
