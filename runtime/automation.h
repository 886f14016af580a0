#pragma once
// Automation objects created by class name and reached by late-bound calls, as a script would.

#include "runtime/com.h"

#include <oaidl.h>

#include <string>

namespace fennimark::runtime {

class AutomationObject {
public:
    // Raises run-time error 429 when the class cannot be created.
    static AutomationObject create(const std::wstring& class_name);

    // Calls a method with text arguments; a failure the object reports becomes a run-time error
    // with the object's own error number where it gives one.
    void call(const std::wstring& method, const std::wstring& argument);
    // The same, with a second argument that is true or false.
    void call(const std::wstring& method, const std::wstring& argument, bool flag);

private:
    void invoke(const std::wstring& method, const std::wstring& argument, Variant* arguments, unsigned count);

    explicit AutomationObject(ComPtr<IDispatch> object, std::wstring class_name)
        : object_(std::move(object)), class_name_(std::move(class_name))
    {
    }
    ComPtr<IDispatch> object_;
    std::wstring class_name_;
};

}  // namespace fennimark::runtime
