// Every catalog reader over an arbitrary file: gifts and seals (UTF-16 and ANSI),
// emoticon groups, colour strips and level descriptions (UTF-16 and ANSI). Each file
// is read twice into the same catalog, as a reload does: entries already known stay,
// and nothing is lost (the leak check at exit sees a dropped entry).
//
// Input: the reader (first byte), then the file.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "catalogs/CaitiaoManager.h"
#include "catalogs/FaceManager.h"
#include "catalogs/GiftManager.h"
#include "catalogs/SealManager.h"
#include "catalogs/UserLevelInfoManager.h"

namespace {

enum Reader { kGiftW, kGiftA, kSealW, kSealA, kFace, kStrips, kLevelW, kLevelA, kReaderCount };

template <class Load>
void Twice(Load load) {
    load();
    load();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzInput in(data, size);
    const int reader = in.U8() % kReaderCount;
    std::string path = fuzzing::WriteFuzzFile("catalog", in.Rest());
    std::wstring wide(path.begin(), path.end());
    char* narrowPath = &path[0];
    wchar_t* widePath = &wide[0];
    switch (reader) {
        case kGiftW:
        case kGiftA: {
            CGiftManager gifts;
            Twice([&] {
                reader == kGiftW ? gifts.LoadGiftConfigW(widePath)
                                 : gifts.LoadGiftConfigA(narrowPath);
            });
            std::vector<int> ids;
            gifts.GetHotGiftIds(ids);
            for (int id : ids) gifts.FindGiftItem(id);
            break;
        }
        case kSealW:
        case kSealA: {
            CSealManager seals;
            Twice([&] {
                reader == kSealW ? seals.LoadSealConfigW(widePath)
                                 : seals.LoadSealConfigA(narrowPath);
            });
            break;
        }
        case kFace: {
            CFaceManager faces;
            Twice([&] { faces.LoadBaseFaceConfig(narrowPath); });
            break;
        }
        case kStrips: {
            CCaitiaoManager strips;
            Twice([&] { strips.LoadConfig(narrowPath); });
            for (int i = 0; i < strips.GetCaitiaoCount(); ++i) strips.FindCaitiaoItem(i);
            break;
        }
        case kLevelW:
        case kLevelA: {
            CUserLevelInfoManager levels;
            Twice([&] {
                reader == kLevelW ? levels.LoadLevelConfigW(widePath)
                                  : levels.LoadLevelConfigA(narrowPath);
            });
            break;
        }
    }
    return 0;
}
