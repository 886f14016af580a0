// A stand-in for the catalogue maker's zip32.dll. The installer only copies that library into the
// system folder, so the tests and the demonstration ship this one in its place: a genuine 32-bit
// DLL, which the packaging script accepts, that says what it is if anyone calls it.

#include <windows.h>

extern "C" __declspec(dllexport) const char* __stdcall FennimarkStandIn()
{
    return "stand-in for zip32.dll, made by the Fennimark patch project for its tests";
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
