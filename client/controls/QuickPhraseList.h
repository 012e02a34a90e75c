// Up to ten canned chat phrases from "chatqk.conf" in the program folder, which the
// room window offers as a menu.
#pragma once

#include <string>
#include <vector>

class CQuickPhraseList {
public:
    static constexpr size_t kMaxPhrases = 10;

    // Reads lines while fewer than ten phrases are held: 0, or -1 when the file
    // cannot be opened (the list then stays as it was).
    int Load();
    bool HasItems() const { return !m_list.empty(); }
    // The phrase as a menu shows it: without its line end. Empty past the end.
    std::wstring MenuText(size_t index) const;

    // Each phrase as read, with its line end.
    std::vector<std::wstring> m_list;
};
