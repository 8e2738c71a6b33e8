// What the converter's two users of the Windows Imaging Component share: COM
// started once for the process, and its objects released at the end of the
// scope that holds them.
#ifndef PORVANE_COM_OBJECT_H
#define PORVANE_COM_OBJECT_H

#include <windows.h>
#include <wincodec.h>

// Starts COM on the program's one thread, once. S_FALSE, or a thread already
// set up otherwise, is no failure: the component's factory still works.
inline void startCom()
{
    static const HRESULT started = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    (void)started;
}

// Releases a COM object at the end of the scope.
template <typename Interface>
struct Held {
    Interface* p = NULL;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        if (p != NULL)
            p->Release();
    }
};

#endif
