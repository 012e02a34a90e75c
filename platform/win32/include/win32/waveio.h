// WINMM wave-in recording and wave-out playback with buffer headers, on the PCM
// streams of the sound system (win32/soundsystem.h). Callbacks (CALLBACK_FUNCTION,
// CALLBACK_EVENT) come from the device's own thread, as on Windows.
#pragma once

#include "win32/mmsystem.h"

struct WAVEHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};
typedef WAVEHDR* PWAVEHDR;
typedef WAVEHDR* LPWAVEHDR;

#define WHDR_DONE 0x00000001
#define WHDR_PREPARED 0x00000002
#define WHDR_BEGINLOOP 0x00000004
#define WHDR_ENDLOOP 0x00000008
#define WHDR_INQUEUE 0x00000010

#define MM_WOM_OPEN 0x3BB
#define MM_WOM_CLOSE 0x3BC
#define MM_WOM_DONE 0x3BD
#define MM_WIM_OPEN 0x3BE
#define MM_WIM_CLOSE 0x3BF
#define MM_WIM_DATA 0x3C0
#define WOM_OPEN MM_WOM_OPEN
#define WOM_CLOSE MM_WOM_CLOSE
#define WOM_DONE MM_WOM_DONE
#define WIM_OPEN MM_WIM_OPEN
#define WIM_CLOSE MM_WIM_CLOSE
#define WIM_DATA MM_WIM_DATA

#define WAVERR_STILLPLAYING 33
#define WAVERR_UNPREPARED 34

// dwParam1 of WIM_DATA and WOM_DONE is the WAVEHDR*.
typedef void(CALLBACK* LPWAVEINPROC)(HWAVEIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);
typedef void(CALLBACK* LPWAVEOUTPROC)(HWAVEOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

struct WAVEINCAPSA {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    CHAR szPname[MAXPNAMELEN];  // in the ANSI code page
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
};
typedef WAVEINCAPSA* LPWAVEINCAPSA;
MMRESULT waveInGetDevCapsA(UINT_PTR deviceId, LPWAVEINCAPSA caps, UINT size);

MMRESULT waveInPrepareHeader(HWAVEIN waveIn, LPWAVEHDR header, UINT size);
MMRESULT waveInUnprepareHeader(HWAVEIN waveIn, LPWAVEHDR header, UINT size);
MMRESULT waveInAddBuffer(HWAVEIN waveIn, LPWAVEHDR header, UINT size);
MMRESULT waveInStart(HWAVEIN waveIn);
MMRESULT waveInStop(HWAVEIN waveIn);
// Stops recording and returns every queued buffer marked done.
MMRESULT waveInReset(HWAVEIN waveIn);

MMRESULT waveOutPrepareHeader(HWAVEOUT waveOut, LPWAVEHDR header, UINT size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT waveOut, LPWAVEHDR header, UINT size);
MMRESULT waveOutWrite(HWAVEOUT waveOut, LPWAVEHDR header, UINT size);
MMRESULT waveOutPause(HWAVEOUT waveOut);
MMRESULT waveOutRestart(HWAVEOUT waveOut);
// Stops playback and returns every queued buffer marked done.
MMRESULT waveOutReset(HWAVEOUT waveOut);
