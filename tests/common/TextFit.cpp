#include "common/TextFit.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QToolTip>

namespace
{
// How far `inner` reaches out of `outer` on its worst side; 0 when it is inside.
int Overflow(const QRect& outer, const QRect& inner)
{
    return std::max({0, outer.left() - inner.left(), inner.right() - outer.right(),
                     outer.top() - inner.top(), inner.bottom() - outer.bottom()});
}

// The text rectangle as QLabel lays out a plain text: contents rectangle less the margin
// and the indent that a framed label takes.
int LabelOverflow(const QLabel* label)
{
    QRect rect = label->contentsRect();
    const int margin = label->margin();
    rect.adjust(margin, margin, -margin, -margin);
    const Qt::Alignment align =
        QStyle::visualAlignment(label->layoutDirection(), label->alignment());
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = label->fontMetrics().horizontalAdvance(u'x') / 2 - margin;
    if (indent > 0)
    {
        if (align & Qt::AlignLeft)
            rect.setLeft(rect.left() + indent);
        if (align & Qt::AlignRight)
            rect.setRight(rect.right() - indent);
        if (align & Qt::AlignTop)
            rect.setTop(rect.top() + indent);
        if (align & Qt::AlignBottom)
            rect.setBottom(rect.bottom() - indent);
    }
    const int flags = int(align) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    return Overflow(rect, label->fontMetrics().boundingRect(rect, flags, label->text()));
}

int ButtonOverflow(const QAbstractButton* button, QStyle::SubElement contents)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (const auto* push = qobject_cast<const QPushButton*>(button))
    {
        if (push->autoDefault() || push->isDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
    }
    if (!button->icon().isNull())
        option.iconSize = button->iconSize();
    const QRect rect = button->style()->subElementRect(contents, &option, button);
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    const int align = contents == QStyle::SE_PushButtonContents
                          ? int(Qt::AlignCenter)
                          : int(Qt::AlignLeft | Qt::AlignVCenter);
    return Overflow(
        rect, QStyle::alignedRect(button->layoutDirection(), Qt::Alignment(align), text, rect));
}

int GroupOverflow(const QGroupBox* box)
{
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (box->isFlat())
        option.features |= QStyleOptionFrame::Flat;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    const QSize text = box->fontMetrics().size(Qt::TextShowMnemonic, box->title());
    return Overflow(box->rect(), QRect(label.topLeft(), text));
}

QString ControlName(const QWidget* control, const QString& text)
{
    if (!control->objectName().isEmpty())
        return control->objectName();
    return QStringLiteral("- \"%1\"").arg(text.left(24).replace(u'\n', u' '));
}
} // namespace

QList<TextOverflow> FindTextOverflows(const QWidget* window)
{
    const QString dialog = window->objectName().isEmpty()
                               ? QString::fromLatin1(window->metaObject()->className())
                               : window->objectName();
    QList<TextOverflow> found;
    const auto note = [&](const QWidget* control, const QString& text, int pixels)
    {
        if (pixels > 0)
            found.append({dialog, ControlName(control, text), pixels});
    };
    for (const QWidget* control : window->findChildren<const QWidget*>())
    {
        if (!control->isVisibleTo(window))
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(control))
        {
            if (!label->text().isEmpty())
                note(label, label->text(), LabelOverflow(label));
        }
        else if (const auto* push = qobject_cast<const QPushButton*>(control))
        {
            if (!push->text().isEmpty())
                note(push, push->text(), ButtonOverflow(push, QStyle::SE_PushButtonContents));
        }
        else if (const auto* check = qobject_cast<const QCheckBox*>(control))
        {
            if (!check->text().isEmpty())
                note(check, check->text(), ButtonOverflow(check, QStyle::SE_CheckBoxContents));
        }
        else if (const auto* radio = qobject_cast<const QRadioButton*>(control))
        {
            if (!radio->text().isEmpty())
                note(radio, radio->text(), ButtonOverflow(radio, QStyle::SE_RadioButtonContents));
        }
        else if (const auto* box = qobject_cast<const QGroupBox*>(control))
        {
            if (!box->title().isEmpty())
                note(box, box->title(), GroupOverflow(box));
        }
    }
    return found;
}

QString DescribeOverflows(const QList<TextOverflow>& overflows)
{
    QString text;
    for (const TextOverflow& overflow : overflows)
        text += QStringLiteral("dialog %1, control %2: %3 px out\n")
                    .arg(overflow.dialog, overflow.control)
                    .arg(overflow.pixels);
    return text;
}

namespace
{
// Whether the face the font resolves to draws every visible character of the text itself.
bool HasGlyphs(const QFont& font, const QString& text)
{
    const QRawFont raw = QRawFont::fromFont(font);
    for (const char32_t c : text.toUcs4())
    {
        if (QChar::isSpace(c) || QChar::category(c) == QChar::Other_Control)
            continue;
        if (!raw.supportsCharacter(c))
            return false;
    }
    return true;
}
} // namespace

QStringList FindTextsWithoutGlyphs(const QWidget* window)
{
    QStringList found;
    const auto check = [&found](const QWidget* owner, const QFont& font, const QString& text)
    {
        if (!HasGlyphs(font, text))
            found << QStringLiteral("%1: %2").arg(ControlName(owner, owner->objectName()), text);
    };
    const QStatusBar* status = window->findChild<const QStatusBar*>();
    const auto checkActions = [&](const QWidget* owner)
    {
        for (const QAction* action : owner->actions())
        {
            if (action->isSeparator())
                continue;
            if (qobject_cast<const QMenu*>(owner))
                check(owner, owner->font(), action->text());
            else
                check(owner, QToolTip::font(), action->toolTip());
            if (status)
                check(status, status->font(), action->statusTip());
        }
    };
    for (const QMenu* menu : window->findChildren<const QMenu*>())
        checkActions(menu);
    for (const QToolBar* bar : window->findChildren<const QToolBar*>())
        checkActions(bar);
    return found;
}
