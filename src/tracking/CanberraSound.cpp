#include "tracking/CanberraSound.h"

#include "base/Functions.h"
#include "base/Log.h"

#include <QCoreApplication>

#include <canberra.h>

#include <array>

namespace cdk {

namespace {

// The themes do not all carry the same events; these are tried in turn.
constexpr std::array<const char *, 3> kTaskDoneEvents = {"complete", "message-new-instant",
                                                         "bell"};
constexpr uint32_t kPlayId = 1;

} // namespace

CanberraSound::~CanberraSound()
{
    if (m_context && m_destroy)
        m_destroy(m_context);
}

bool CanberraSound::resolve()
{
    m_library.setFileNameAndVersion(QStringLiteral("canberra"), 0);
    if (!m_library.load()) {
        qCInfo(lcTracking) << "no sound library:" << m_library.errorString();
        return false;
    }
    m_create = reinterpret_cast<CreateFn>(m_library.resolve("ca_context_create"));
    m_destroy = reinterpret_cast<DestroyFn>(m_library.resolve("ca_context_destroy"));
    m_changeProps = reinterpret_cast<ChangePropsFn>(m_library.resolve("ca_context_change_props"));
    m_play = reinterpret_cast<PlayFn>(m_library.resolve("ca_context_play"));
    m_strerror = reinterpret_cast<StrErrorFn>(m_library.resolve("ca_strerror"));
    return m_create && m_destroy && m_changeProps && m_play && m_strerror;
}

bool CanberraSound::ensureContext()
{
    if (m_context)
        return true;
    if (m_unavailable)
        return false;
    if (!resolve()) {
        m_unavailable = true;
        return false;
    }
    int rc = m_create(&m_context);
    if (rc != CA_SUCCESS) {
        qCInfo(lcTracking) << "no sound service:" << m_strerror(rc);
        m_context = nullptr;
        m_unavailable = true;
        return false;
    }
    const QByteArray name = programName().toUtf8();
    rc = m_changeProps(m_context, CA_PROP_APPLICATION_NAME, name.constData(),
                       static_cast<const char *>(nullptr));
    if (rc != CA_SUCCESS)
        qCInfo(lcTracking) << "sound service refused the program name:" << m_strerror(rc);
    return true;
}

void CanberraSound::playTaskDone(const QString &customFileOrEmpty)
{
    if (!ensureContext())
        return;
    if (!customFileOrEmpty.isEmpty()) {
        const QByteArray path = customFileOrEmpty.toLocal8Bit();
        const int rc = m_play(m_context, kPlayId, CA_PROP_MEDIA_FILENAME, path.constData(),
                              CA_PROP_MEDIA_ROLE, "event", static_cast<const char *>(nullptr));
        if (rc != CA_SUCCESS)
            qCInfo(lcTracking) << "custom sound not played:" << m_strerror(rc);
        return;
    }
    // The sound server may show or speak the event's description.
    const QByteArray description
        = QCoreApplication::translate("CanberraSound", "Task finished").toUtf8();
    for (const char *event : kTaskDoneEvents) {
        const int rc
            = m_play(m_context, kPlayId, CA_PROP_EVENT_ID, event, CA_PROP_EVENT_DESCRIPTION,
                     description.constData(), static_cast<const char *>(nullptr));
        if (rc == CA_SUCCESS)
            return;
        qCDebug(lcTracking) << "sound event" << event << "not played:" << m_strerror(rc);
    }
}

std::unique_ptr<Sound> createDesktopSound()
{
    return std::make_unique<CanberraSound>();
}

} // namespace cdk
