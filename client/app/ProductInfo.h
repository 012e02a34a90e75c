// The product's names as the windows, the tray tip and the game window show them.
#pragma once

// Placed into the logon and lobby window titles and the tray tip.
#define MIVORA_PRODUCT_TITLE L"Mivora"
// Title of the game window the lobby opens for the game page.
#define MIVORA_PRODUCT_SUBTITLE L"Mivora游戏中心"
