// Vector<T*>: an ordered list of reference-counted objects that holds one reference to
// each element, taken on insertion and given back on removal, clear and destruction.
#pragma once

#include <algorithm>
#include <type_traits>
#include <vector>

#include "base/Ref.h"

NS_CC_BEGIN

template <class T>
class Vector {
    static_assert(std::is_convertible<T, Ref*>::value, "Vector holds pointers to Ref");

public:
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    Vector() = default;
    explicit Vector(std::size_t capacity) { _data.reserve(capacity); }
    ~Vector() { clear(); }

    Vector(const Vector& other) : _data(other._data) { addRefForAll(); }
    Vector(Vector&& other) noexcept : _data(std::move(other._data)) { other._data.clear(); }
    Vector& operator=(const Vector& other) {
        if (this != &other) {
            Vector copy(other);  // retain first so self-contained overlaps survive
            clear();
            _data.swap(copy._data);
        }
        return *this;
    }
    Vector& operator=(Vector&& other) noexcept {
        if (this != &other) {
            clear();
            _data.swap(other._data);
        }
        return *this;
    }

    iterator begin() { return _data.begin(); }
    iterator end() { return _data.end(); }
    const_iterator begin() const { return _data.begin(); }
    const_iterator end() const { return _data.end(); }

    void reserve(std::size_t n) { _data.reserve(n); }
    std::size_t capacity() const { return _data.capacity(); }
    std::size_t size() const { return _data.size(); }
    bool empty() const { return _data.empty(); }

    T at(std::size_t index) const {
        CCASSERT(index < _data.size(), "index out of range in Vector::at");
        return _data[index];
    }
    T front() const { return _data.front(); }
    T back() const { return _data.back(); }

    bool contains(T object) const {
        return std::find(_data.begin(), _data.end(), object) != _data.end();
    }

    void pushBack(T object) {
        CCASSERT(object != nullptr, "Vector holds no null pointers");
        object->retain();
        _data.push_back(object);
    }
    void pushBack(const Vector<T>& other) {
        for (T obj : other)
            pushBack(obj);
    }
    void insert(std::size_t index, T object) {
        CCASSERT(object != nullptr, "Vector holds no null pointers");
        CCASSERT(index <= _data.size(), "index out of range in Vector::insert");
        object->retain();
        _data.insert(_data.begin() + static_cast<long>(index), object);
    }
    void popBack() {
        CCASSERT(!_data.empty(), "popBack on an empty Vector");
        T last = _data.back();
        _data.pop_back();
        last->release();
    }
    // Removes the first occurrence (or every occurrence) of the object.
    void eraseObject(T object, bool removeAll = false) {
        if (removeAll) {
            for (auto it = _data.begin(); it != _data.end();) {
                if (*it == object) {
                    it = _data.erase(it);
                    object->release();
                } else {
                    ++it;
                }
            }
            return;
        }
        auto it = std::find(_data.begin(), _data.end(), object);
        if (it != _data.end()) {
            _data.erase(it);
            object->release();
        }
    }
    iterator erase(iterator position) {
        T obj = *position;
        auto next = _data.erase(position);
        obj->release();
        return next;
    }
    void erase(std::size_t index) {
        CCASSERT(index < _data.size(), "index out of range in Vector::erase");
        erase(_data.begin() + static_cast<long>(index));
    }
    void clear() {
        // Detach first: releasing may run destructors that look at this list.
        std::vector<T> old;
        old.swap(_data);
        for (T obj : old)
            obj->release();
    }

private:
    void addRefForAll() {
        for (T obj : _data)
            obj->retain();
    }

    std::vector<T> _data;
};

NS_CC_END
