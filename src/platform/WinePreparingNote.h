#pragma once
// The note that a wait on a Windows tool is a wait for Wine (making its prefix, starting its
// server), which can take seconds before the tool itself does anything: once the wait has
// gone on for DelayMs and the tool has shown nothing yet, the wait's text becomes the note;
// it goes back to the normal text as soon as the tool shows anything, and at the end of the
// wait. Told every slice of the wait; the time is the slices', so a test clock moves it as
// real time does. The note's text comes from the caller's string table.
#include <QString>
#include <functional>

class WinePreparingNote
{
public:
    static constexpr int DelayMs = 1000;

    // `setText` shows a text in the wait's place; `showedAnything` is asked until it holds.
    WinePreparingNote(QString note, QString normal, std::function<void(const QString&)> setText,
                      std::function<bool()> showedAnything);
    ~WinePreparingNote(); // the normal text back when the note shows
    WinePreparingNote(const WinePreparingNote&) = delete;
    WinePreparingNote& operator=(const WinePreparingNote&) = delete;

    // One slice of the wait has passed.
    void Slice(int ms);
    bool IsShown() const { return m_shown; }

private:
    QString m_note;
    QString m_normal;
    std::function<void(const QString&)> m_setText;
    std::function<bool()> m_showedAnything;
    int m_waited = 0;
    bool m_showed = false;
    bool m_shown = false;
};
