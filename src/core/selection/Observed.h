#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace tavelin {

// Observers told, synchronously, that an object is about to change.
class ObserverList {
public:
    using Id = int;
    Id add(std::function<void()> willChange) {
        observers_.emplace_back(nextId_, std::move(willChange));
        return nextId_++;
    }
    void remove(Id id) {
        std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
    }
    void notifyWillChange() const {
        for (const auto& entry : observers_) entry.second();
    }

private:
    std::vector<std::pair<Id, std::function<void()>>> observers_;
    Id nextId_ = 0;
};

// A field whose every assignment, changed value or not, notifies the owner's observers before
// the value is stored.
template <typename T>
class Observed {
public:
    Observed(const ObserverList& observers, T initial)
        : observers_(observers), value_(std::move(initial)) {}
    Observed(const Observed&) = delete;

    Observed& operator=(T value) {
        observers_.notifyWillChange();
        value_ = std::move(value);
        return *this;
    }
    Observed& operator=(const Observed& other) { return *this = other.value_; }

    const T& get() const { return value_; }
    operator const T&() const { return value_; }
    const T* operator->() const { return &value_; }

private:
    const ObserverList& observers_;
    T value_;
};

}  // namespace tavelin
