// The rich-edit window class "RichEdit20W" (on a QTextEdit) with the EM_ messages,
// the message-filter notification and the OLE object query the program uses.
// Positions count UTF-16 units and a paragraph end counts one ("\r"), as on Windows;
// an embedded object (a pasted picture) is one position.
#pragma once

#include "win32/base.h"
#include "win32/messages.h"
#include "win32/window.h"

#define RICHEDIT_CLASSW L"RichEdit20W"

// Edit styles.
#define ES_LEFT 0x0000L
#define ES_MULTILINE 0x0004L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NOHIDESEL 0x0100L
#define ES_READONLY 0x0800L
#define ES_WANTRETURN 0x1000L

#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_REPLACESEL 0x00C2
#define EM_CANUNDO 0x00C6
#define EM_UNDO 0x00C7
#define EM_EXGETSEL (WM_USER + 52)
#define EM_EXLIMITTEXT (WM_USER + 53)
#define EM_EXSETSEL (WM_USER + 55)
#define EM_GETCHARFORMAT (WM_USER + 58)
#define EM_GETEVENTMASK (WM_USER + 59)
#define EM_GETOLEINTERFACE (WM_USER + 60)
#define EM_GETSELTEXT (WM_USER + 62)
#define EM_SELECTIONTYPE (WM_USER + 66)
#define EM_SETBKGNDCOLOR (WM_USER + 67)
#define EM_SETCHARFORMAT (WM_USER + 68)
#define EM_SETEVENTMASK (WM_USER + 69)
#define EM_GETTEXTLENGTHEX (WM_USER + 95)

// Notifications (WM_NOTIFY codes) and the event mask.
#define EN_MSGFILTER 0x0700
#define ENM_NONE 0x00000000
#define ENM_CHANGE 0x00000001
#define ENM_KEYEVENTS 0x00010000
#define ENM_MOUSEEVENTS 0x00020000
#define ENM_SELCHANGE 0x00080000

// EM_SELECTIONTYPE answers.
#define SEL_EMPTY 0x0000
#define SEL_TEXT 0x0001
#define SEL_OBJECT 0x0002
#define SEL_MULTICHAR 0x0004
#define SEL_MULTIOBJECT 0x0008

// EM_SETCHARFORMAT / EM_GETCHARFORMAT targets.
#define SCF_DEFAULT 0x0000
#define SCF_SELECTION 0x0001
#define SCF_ALL 0x0004

#define CFM_BOLD 0x00000001
#define CFM_ITALIC 0x00000002
#define CFM_UNDERLINE 0x00000004
#define CFM_STRIKEOUT 0x00000008
#define CFM_PROTECTED 0x00000010
#define CFM_SIZE 0x80000000
#define CFM_COLOR 0x40000000
#define CFM_FACE 0x20000000
#define CFM_OFFSET 0x10000000
#define CFM_CHARSET 0x08000000
#define CFM_BACKCOLOR 0x04000000
#define CFM_WEIGHT 0x00400000

#define CFE_BOLD 0x00000001
#define CFE_ITALIC 0x00000002
#define CFE_UNDERLINE 0x00000004
#define CFE_STRIKEOUT 0x00000008
#define CFE_PROTECTED 0x00000010
#define CFE_AUTOBACKCOLOR 0x04000000
// The text takes the system window-text colour, whatever crTextColor says.
#define CFE_AUTOCOLOR 0x40000000

// EM_GETTEXTLENGTHEX flags.
#define GTL_DEFAULT 0
#define GTL_USECRLF 1
#define GTL_PRECISE 2
#define GTL_NUMCHARS 8
#define GTL_NUMBYTES 16

struct CHARRANGE {
    LONG cpMin;
    LONG cpMax;  // -1: the end of the text
};

struct GETTEXTLENGTHEX {
    DWORD flags;
    UINT codepage;  // 1200: UTF-16 units
};

// The field order of Windows; its size here differs (WCHAR is 32 bits), so cbSize is
// sizeof(CHARFORMATW) or sizeof(CHARFORMAT2W) of this build.
struct CHARFORMATW {
    UINT cbSize;
    DWORD dwMask;
    DWORD dwEffects;
    LONG yHeight;  // twips
    LONG yOffset;
    COLORREF crTextColor;
    BYTE bCharSet;
    BYTE bPitchAndFamily;
    WCHAR szFaceName[32];
};
struct CHARFORMAT2W : CHARFORMATW {
    WORD wWeight;
    SHORT sSpacing;
    COLORREF crBackColor;
    DWORD lcid;
    DWORD dwReserved;
    SHORT sStyle;
    WORD wKerning;
    BYTE bUnderlineType;
    BYTE bAnimation;
    BYTE bRevAuthor;
    BYTE bReserved1;
};
typedef CHARFORMATW CHARFORMAT;
typedef CHARFORMAT2W CHARFORMAT2;

// lParam of WM_NOTIFY with EN_MSGFILTER: a non-zero answer makes the control drop
// the message.
struct MSGFILTER {
    NMHDR nmhdr;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// The OLE side: only the object query. Embedded objects here are pictures; they have
// no OLE object, storage or site, so those pointers come back null.
#ifndef MIVORA_GUID_DEFINED
#define MIVORA_GUID_DEFINED
struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID CLSID;
#endif
typedef SIZE SIZEL;
class IOleObject;
class IStorage;
class IOleClientSite;

#define DVASPECT_CONTENT 1
#define REO_GETOBJ_NO_INTERFACES 0x00000000L
#define REO_GETOBJ_POLEOBJ 0x00000001L
#define REO_GETOBJ_PSTG 0x00000002L
#define REO_GETOBJ_POLESITE 0x00000004L
#define REO_GETOBJ_ALL_INTERFACES 0x00000007L

struct REOBJECT {
    DWORD cbSize;  // sizeof(REOBJECT)
    LONG cp;       // position of the object
    CLSID clsid;
    IOleObject* poleobj;
    IStorage* pstg;
    IOleClientSite* polesite;
    SIZEL sizel;  // HIMETRIC
    DWORD dvaspect;
    DWORD dwFlags;
    DWORD dwUser;  // the value the inserter gave (0 for a pasted picture)
};

// The control's OLE interface (EM_GETOLEINTERFACE hands out a reference: Release it).
// It stays usable after the control is gone, answering as an empty control.
class IRichEditOle {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual LONG GetObjectCount() = 0;
    // iob counts from 0 in text order; E_INVALIDARG for a bad index or record size.
    virtual HRESULT GetObject(LONG iob, REOBJECT* reobject, DWORD flags) = 0;

protected:
    virtual ~IRichEditOle() = default;
};
typedef IRichEditOle* LPRICHEDITOLE;
