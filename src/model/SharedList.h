#pragma once
// An ordered list whose entries are shared between copies of the list until one
// of them is changed. Copying the list copies one pointer per entry; an entry is
// cloned the first time a copy reaches it through a non-const accessor. Undo
// snapshots of the diagram cost little time and memory this way, and two lists
// that share an entry compare it by its address first.
//
// Used on one thread only (the document is edited on the user-interface thread).
#include <cstddef>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace v7300 {

template <class T> class TSharedList {
    using Slot = std::shared_ptr<T>;
    using Slots = std::vector<Slot>;

  public:
    class const_iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;
        const_iterator() = default;
        explicit const_iterator(typename Slots::const_iterator it) : it_(it) {}
        reference operator*() const { return **it_; }
        pointer operator->() const { return it_->get(); }
        const_iterator& operator++() {
            ++it_;
            return *this;
        }
        const_iterator operator++(int) {
            auto old = *this;
            ++it_;
            return old;
        }
        const_iterator& operator--() {
            --it_;
            return *this;
        }
        const_iterator& operator+=(difference_type n) {
            it_ += n;
            return *this;
        }
        const_iterator operator+(difference_type n) const { return const_iterator(it_ + n); }
        difference_type operator-(const const_iterator& o) const { return it_ - o.it_; }
        bool operator==(const const_iterator& o) const { return it_ == o.it_; }

      private:
        typename Slots::const_iterator it_;
    };

    int Count() const { return static_cast<int>(slots_.size()); }
    bool Empty() const { return slots_.empty(); }

    const T& At(int index) const { return *slots_.at(checked(index)); }
    T& MutableAt(int index) { return Own(slots_.at(checked(index))); }

    T& Append(T value) {
        slots_.push_back(std::make_shared<T>(std::move(value)));
        return *slots_.back();
    }
    void Erase(int index) { slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(checked(index))); }
    void Clear() { slots_.clear(); }

    // True when both lists hold the very same entry object at these places.
    bool SharesEntry(int index, const TSharedList& other, int otherIndex) const {
        return slots_.at(checked(index)) == other.slots_.at(other.checked(otherIndex));
    }

    // Iteration reads only, so that walking a list never unshares its entries;
    // an entry is changed through MutableAt.
    const_iterator begin() const { return const_iterator(slots_.cbegin()); }
    const_iterator end() const { return const_iterator(slots_.cend()); }

    // Entry by entry; a shared entry is equal without looking inside.
    template <class Equal> bool Equals(const TSharedList& other, Equal equal) const {
        if (slots_.size() != other.slots_.size()) return false;
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i] != other.slots_[i] && !equal(*slots_[i], *other.slots_[i])) return false;
        return true;
    }
    bool operator==(const TSharedList& other) const {
        return Equals(other, [](const T& a, const T& b) { return a == b; });
    }

  private:
    static T& Own(Slot& slot) {
        if (slot.use_count() > 1) slot = std::make_shared<T>(*slot);
        return *slot;
    }
    std::size_t checked(int index) const {
        if (index < 0) throw std::out_of_range("TSharedList index");
        return static_cast<std::size_t>(index);
    }

    Slots slots_;
};

} // namespace v7300
