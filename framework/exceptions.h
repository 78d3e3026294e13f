// The exceptions the framework raises, and the test it makes before using an object.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace fw {

class RuntimeException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    virtual std::string_view ClassName() const { return "RuntimeException"; }
};

// Use of a missing object: a control, a window, a file stream, a port.
class NilObjectException : public RuntimeException {
public:
    using RuntimeException::RuntimeException;
    std::string_view ClassName() const override { return "NilObjectException"; }
};

// A design-time property list the reader cannot apply.
class PropertyListException : public RuntimeException {
public:
    using RuntimeException::RuntimeException;
    std::string_view ClassName() const override { return "PropertyListException"; }
};

// The object itself, or NilObjectException naming what was missing.
template <class T>
T& Require(T* object, std::string_view what) {
    if (object == nullptr) {
        throw NilObjectException(std::string(what));
    }
    return *object;
}

}  // namespace fw
