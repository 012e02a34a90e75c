// Emoticon groups from "userface.dat": a group id, then its emoticon numbers.
#pragma once

#include <map>
#include <vector>

struct tag_FaceGroupInfo {
    int groupId;
    std::vector<int> faces;  // file order
};

class CFaceManager {
public:
    CFaceManager();
    virtual ~CFaceManager();

    // Narrow "group,face,face..." lines; -1 when the file cannot be opened, else 0.
    int LoadBaseFaceConfig(char* path);
    tag_FaceGroupInfo* FindFaceGroupItem(int id);
    void ClearAll();

    std::map<int, tag_FaceGroupInfo*> faceGroups;
};
