// Property-style members: reads and assignments go through the owner's getter and setter, so
// `Bitmap->Width = 96;` resizes the picture as the game code expects.
#pragma once
#include <functional>
#include <utility>

template <class T>
class TProperty {
public:
    TProperty(std::function<T()> get, std::function<void(const T&)> set)
        : FGet(std::move(get)), FSet(std::move(set)) {}
    TProperty(const TProperty&) = delete;

    operator T() const { return FGet(); }
    T operator()() const { return FGet(); }
    TProperty& operator=(const T& value) { FSet(value); return *this; }
    TProperty& operator=(const TProperty& other) { FSet(other.FGet()); return *this; }
    TProperty& operator+=(const T& value) { FSet(FGet() + value); return *this; }
    TProperty& operator-=(const T& value) { FSet(FGet() - value); return *this; }

private:
    std::function<T()> FGet;
    std::function<void(const T&)> FSet;
};

// A property that can only be read.
template <class T>
class TReadProperty {
public:
    explicit TReadProperty(std::function<T()> get) : FGet(std::move(get)) {}
    TReadProperty(const TReadProperty&) = delete;
    TReadProperty& operator=(const TReadProperty&) = delete;

    operator T() const { return FGet(); }
    T operator()() const { return FGet(); }

private:
    std::function<T()> FGet;
};
