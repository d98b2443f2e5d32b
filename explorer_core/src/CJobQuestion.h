#pragma once
// A question a job asks from its worker: a message box or the overwrite dialog.
#include <QString>

struct CJobQuestion {
    enum class Kind { Message, Overwrite };
    // The file-operation dialog's own box, or the application's (its caption, the main window).
    enum class Owner { Dialog, Application };
    // The overwrite dialog's answers, the ids of its buttons.
    enum Overwrite { kYes = 6, kNo = 7, kCancel = 2, kAll = 1011 };
    // The message boxes' buttons and icons, as Qt numbers them.
    static constexpr int kOk = 0x00000400;
    static constexpr int kYesButton = 0x00004000;
    static constexpr int kNoButton = 0x00010000;
    static constexpr int kCancelButton = 0x00400000;
    static constexpr int kWarning = 2;
    static constexpr int kCritical = 3;
    static constexpr int kQuestion = 4;

    Kind kind = Kind::Message;
    Owner owner = Owner::Dialog;
    QString caption;
    QString text;
    int buttons = kOk;
    int icon = 0;
};
