// The sink that every connection reports its socket events to.
#pragma once

#include "win32/win32.h"

class CACDefProcess {
public:
    // The connect completed: the connection's queued frames go out.
    virtual void OnConnectToServer(void* socket) = 0;
    // The connect failed with an error outside the error table.
    virtual void OnCannotConnectToServer(void* socket) = 0;
    // The server closed the connection.
    virtual void OnDisConnectServer(void* socket) = 0;
    // A socket event carried an error of the error table.
    virtual void OnConnectError(void* socket) = 0;
    // Receiving failed; the connection closes itself afterwards.
    virtual void OnReadSocketError(void* socket) = 0;
    // One whole frame; -1 rejects it and resets the receive buffer.
    virtual int OnSocketRead(void* frame, int length, void* socket) = 0;
    virtual LRESULT DefMainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual ~CACDefProcess() = default;
    virtual bool init(HINSTANCE instance) = 0;
    virtual void uninit() = 0;
};
