#include "platform/ui/controls.h"

#include "platform/ui/selector.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

void Controls::installFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

QFont Controls::font(const QString &family, int pixelHeight, bool bold, bool underline)
{
    QFont f(family);
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QFont Controls::defaultFont() { return font(QStringLiteral("MS Sans Serif"), 11); }

QFont Controls::arial(int pixelHeight, bool bold, bool underline)
{
    return font(QStringLiteral("Arial"), pixelHeight, bold, underline);
}

void Controls::setOuterGeometry(QWidget *window, int left, int top, int width, int height)
{
    window->move(left, top);
    window->resize(width - 2 * FrameWidth, height - TitleHeight - 2 * FrameWidth);
}

QLabel *Controls::label(QWidget *parent, const QString &name, const QString &text, QPoint at, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

QPushButton *Controls::button(QWidget *parent, const QString &name, const QString &text, const QRect &frame,
                              bool enabled)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(frame);
    button->setEnabled(enabled);
    return button;
}

Selector *Controls::selector(QWidget *parent, const QString &name, const QString &prompt, QPoint at, int width,
                             const QStringList &items, bool enabled)
{
    auto *box = new Selector(parent);
    box->setObjectName(name);
    box->setGeometry(at.x(), at.y(), width, 21);
    box->addItems(items);
    box->setText(prompt);
    box->setEnabled(enabled);
    return box;
}

QLabel *Controls::picture(QWidget *parent, const QString &name, const QRect &frame, const QPixmap &pixmap)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(frame);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setPixmap(pixmap);
    return label;
}
