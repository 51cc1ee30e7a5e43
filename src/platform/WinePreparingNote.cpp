#include "platform/WinePreparingNote.h"

#include <utility>

WinePreparingNote::WinePreparingNote(QString note, QString normal,
                                     std::function<void(const QString&)> setText,
                                     std::function<bool()> showedAnything)
    : m_note(std::move(note)), m_normal(std::move(normal)), m_setText(std::move(setText)),
      m_showedAnything(std::move(showedAnything))
{
}

WinePreparingNote::~WinePreparingNote()
{
    if (m_shown && m_setText)
        m_setText(m_normal);
}

void WinePreparingNote::Slice(int ms)
{
    if (m_showed)
        return;
    m_waited += ms;
    m_showed = m_showedAnything && m_showedAnything();
    const bool show = !m_showed && m_waited >= DelayMs;
    if (show != m_shown && m_setText)
        m_setText(show ? m_note : m_normal);
    m_shown = show;
}
