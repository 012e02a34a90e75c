#include "controls/FaceListItem.h"

LPCTSTR CFaceListItem::GetClass() const {
    return L"FaceListItemUI";
}
