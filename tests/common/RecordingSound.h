#pragma once

#include "base/Sound.h"

#include <QStringList>

namespace cdk::test {

// Remembers every sound the program asked for: the custom file, or an empty
// entry for the desktop's notification sound.
class RecordingSound final : public Sound
{
public:
    void playTaskDone(const QString &customFileOrEmpty) override
    {
        played.append(customFileOrEmpty);
    }

    QStringList played;
};

} // namespace cdk::test
