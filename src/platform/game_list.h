// Ordered list with a current element, as the game's lists behave: adding
// inserts after the current element and makes the new (value-initialised)
// element current; reset goes before the first element (index -1).
#pragma once
#include <cstddef>
#include <list>
#include <iterator>
#include <utility>

template <typename T>
class GameList {
public:
    using Iter = typename std::list<T>::iterator;

    GameList() = default;
    // A copy has its own current element, at the same place as in the original.
    GameList(const GameList& other) : items_(other.items_) { restore_index(other.index()); }
    GameList& operator=(const GameList& other) {
        if (this != &other) {
            items_ = other.items_;
            restore_index(other.index());
        }
        return *this;
    }
    // Moving keeps the elements, so the current one stays valid.
    GameList(GameList&& other) noexcept : items_(std::move(other.items_)) { take_current(other); }
    GameList& operator=(GameList&& other) noexcept {
        if (this != &other) {
            items_ = std::move(other.items_);
            take_current(other);
        }
        return *this;
    }

    // Insert a value-initialised element after the current one (at the front
    // when before the first) and make it current. Returns it.
    T& add() {
        Iter pos = before_first_ ? items_.begin() : std::next(current_);
        current_ = items_.insert(pos, T{});
        before_first_ = false;
        return *current_;
    }
    // Append at the end regardless of the current element; the new element becomes current.
    T& append() {
        current_ = items_.insert(items_.end(), T{});
        before_first_ = false;
        return *current_;
    }
    void reset() { before_first_ = true; current_ = items_.end(); }
    // Advance; false (and before-first state kept at end) when there is no next element.
    bool next() {
        Iter n = before_first_ ? items_.begin() : std::next(current_);
        if (n == items_.end()) return false;
        current_ = n;
        before_first_ = false;
        return true;
    }
    bool has_current() const { return !before_first_ && current_ != items_.end(); }
    T& current() { return *current_; }
    int index() const {
        if (!has_current()) return -1;
        return static_cast<int>(std::distance(items_.begin(), typename std::list<T>::const_iterator(current_)));
    }
    // Remembering an element and making it current again.
    Iter remember() const { return before_first_ ? Iter(const_cast<std::list<T>&>(items_).end()) : current_; }
    void restore(Iter it) {
        current_ = it;
        before_first_ = (it == items_.end());
    }
    bool select(int index) {
        if (index < 0 || index >= count()) return false;
        current_ = std::next(items_.begin(), index);
        before_first_ = false;
        return true;
    }
    // Remove the current element; the one before it becomes current (before-first when none).
    void remove_current() {
        if (!has_current()) return;
        Iter after = items_.erase(current_);
        if (after == items_.begin()) reset();
        else current_ = std::prev(after);
    }
    void clear() { items_.clear(); reset(); }
    int count() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }

    Iter begin() { return items_.begin(); }
    Iter end() { return items_.end(); }
    typename std::list<T>::const_iterator begin() const { return items_.begin(); }
    typename std::list<T>::const_iterator end() const { return items_.end(); }

private:
    void restore_index(int index) {
        if (!select(index)) reset();
    }
    void take_current(GameList& other) {
        before_first_ = other.before_first_;
        current_ = before_first_ ? items_.end() : other.current_;
        other.clear();
    }

    std::list<T> items_;
    Iter current_ = items_.end();
    bool before_first_ = true;
};
