#include "runtime/automation.h"

#include "runtime/run_time_error.h"

namespace fennimark::runtime {

namespace {

// Script objects report their failures as HRESULTs of the "control" facility whose low word is the
// run-time error number itself (70 permission denied, 76 path not found, ...).
int error_number_for(HRESULT result)
{
    if (HRESULT_FACILITY(result) == FACILITY_CONTROL)
        return HRESULT_CODE(result);
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return error_number_for_win32(static_cast<unsigned long>(HRESULT_CODE(result)));
    if (result == E_ACCESSDENIED)
        return error::permission_denied;
    return error::path_file_access;
}

}  // namespace

AutomationObject AutomationObject::create(const std::wstring& class_name)
{
    CLSID class_id{};
    ComPtr<IDispatch> object;
    if (FAILED(CLSIDFromProgID(class_name.c_str(), &class_id)) ||
        FAILED(CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, object.put_void())))
        raise(error::cannot_create_object, class_name);
    return AutomationObject(std::move(object), class_name);
}

void AutomationObject::call(const std::wstring& method, const std::wstring& argument)
{
    Variant value = Variant::text(argument);
    invoke(method, argument, &value, 1);
}

void AutomationObject::call(const std::wstring& method, const std::wstring& argument, bool flag)
{
    // Invoke takes the arguments last to first.
    Variant values[2] = {Variant::truth(flag), Variant::text(argument)};
    invoke(method, argument, values, 2);
}

void AutomationObject::invoke(const std::wstring& method, const std::wstring& argument, Variant* arguments,
                              unsigned count)
{
    LPOLESTR name = const_cast<LPOLESTR>(method.c_str());
    DISPID id = 0;
    if (FAILED(object_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
        throw RunTimeError(438, L"L'oggetto non supporta questa proprietà o questo metodo",
                           class_name_ + L"." + method);

    static_assert(sizeof(Variant) == sizeof(VARIANT), "Variant arrays are handed over as VARIANT arrays");
    DISPPARAMS parameters{arguments->get(), nullptr, count, 0};
    Variant result;
    EXCEPINFO exception{};
    const HRESULT outcome = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &parameters, result.get(), &exception, nullptr);
    // Invoke hands over the strings of the exception record; they must be freed on every road.
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (SUCCEEDED(outcome))
        return;
    if (outcome == DISP_E_EXCEPTION && exception.scode == 0 && exception.wCode != 0)
        raise(exception.wCode, argument);
    const HRESULT failure = outcome == DISP_E_EXCEPTION ? exception.scode : outcome;
    raise(error_number_for(failure), argument);
}

}  // namespace fennimark::runtime
