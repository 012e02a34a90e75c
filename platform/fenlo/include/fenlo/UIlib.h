// The user-interface library (namespace DuiLib): windows, the paint manager, the
// layout builder and the controls. One umbrella for the program.
#pragma once

#include "win32/win32.h"
#include "win32gui/gdi.h"
#include "win32gui/menu.h"
#include "win32gui/user.h"

#include "fenlo/UIString.h"
#include "fenlo/UIDefine.h"
#include "fenlo/UIControl.h"
#include "fenlo/UIContainer.h"
#include "fenlo/UICommonControls.h"
#include "fenlo/UIList.h"
#include "fenlo/UIManager.h"
#include "fenlo/UIRender.h"
#include "fenlo/UIDlgBuilder.h"
#include "fenlo/UIWindow.h"
#include "fenlo/UIWebBrowser.h"
#include "fenlo/UIRichEdit.h"
#include "fenlo/UIExtra.h"
