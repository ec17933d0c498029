#pragma once
// Pointer sequences. They hold pointers only; owners free what they point to.

#include <cstddef>
#include <list>
#include <vector>

class CPtrArrayCtrl {
public:
    [[nodiscard]] int GetCount() const { return static_cast<int>(items_.size()); }
    // Null for an index out of range.
    [[nodiscard]] void* GetAt(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < items_.size() ? items_[index] : nullptr;
    }
    void Add(void* item) { items_.push_back(item); }
    void RemoveAt(int index) {
        if (index >= 0 && static_cast<std::size_t>(index) < items_.size())
            items_.erase(items_.begin() + index);
    }
    void RemoveAll() { items_.clear(); }

private:
    std::vector<void*> items_;
};

class CPtrListCtrl {
public:
    [[nodiscard]] int GetCount() const { return static_cast<int>(items_.size()); }
    [[nodiscard]] void* GetAt(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= items_.size())
            return nullptr;
        auto it = items_.begin();
        std::advance(it, index);
        return *it;
    }
    void AddTail(void* item) { items_.push_back(item); }
    void AddHead(void* item) { items_.push_front(item); }
    void RemoveAll() { items_.clear(); }
    [[nodiscard]] auto begin() const { return items_.begin(); }
    [[nodiscard]] auto end() const { return items_.end(); }

private:
    std::list<void*> items_;
};
