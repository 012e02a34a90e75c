// What the emoticon picker hands a chosen code to: the room window and the two
// composers. A receiver that goes away detaches itself from the picker, so a later
// pick never reaches freed memory.
#pragma once

class IEmoReceiver {
public:
    // The code of the picked emoticon (inserted as "[$code$]").
    virtual void OnEmoSelected(const wchar_t* code) = 0;

protected:
    IEmoReceiver() = default;
    IEmoReceiver(const IEmoReceiver&) = default;
    IEmoReceiver& operator=(const IEmoReceiver&) = default;
    // Not virtual (nobody deletes through the interface); it detaches from the picker.
    ~IEmoReceiver();
};
