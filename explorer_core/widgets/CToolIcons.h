#pragma once
// The toolbar's icons: the desktop's icon theme where it has one, else artwork of our own,
// drawn rather than shipped as files so that it always exists. Each icon shows its command:
// the four view modes, Paste and About each look different from every other.
#include <QIcon>

class CToolIcons {
  public:
    enum class Kind {
        Up,
        Copy,
        Paste,
        Delete,
        LargeIcons,
        SmallIcons,
        List,
        Details,
        Refresh,
        About
    };
    static QIcon Icon(Kind kind);
    // The artwork used where the theme has none.
    static QIcon Drawn(Kind kind);
};
