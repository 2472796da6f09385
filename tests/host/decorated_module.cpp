// A module whose entry point is exported only under its decorated name, which the host
// cannot find.
extern "C" __declspec(dllexport) void __stdcall FMExternCallProc(void*) {}
