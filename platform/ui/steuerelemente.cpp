#include "platform/ui/steuerelemente.h"

#include "platform/ui/auswahlbox.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

void Steuerelemente::schriftersatzEinrichten()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

QFont Steuerelemente::schrift(const QString &familie, int pixelHoehe, bool fett, bool unterstrichen)
{
    QFont font(familie);
    font.setPixelSize(pixelHoehe);
    font.setBold(fett);
    font.setUnderline(unterstrichen);
    return font;
}

QFont Steuerelemente::standardschrift() { return schrift(QStringLiteral("MS Sans Serif"), 11); }

QFont Steuerelemente::arial(int pixelHoehe, bool fett, bool unterstrichen)
{
    return schrift(QStringLiteral("Arial"), pixelHoehe, fett, unterstrichen);
}

void Steuerelemente::aussenmasse(QWidget *fenster, int links, int oben, int breite, int hoehe)
{
    fenster->move(links, oben);
    fenster->resize(breite - 2 * RahmenBreite, hoehe - TitelHoehe - 2 * RahmenBreite);
}

QLabel *Steuerelemente::beschriftung(QWidget *parent, const QString &name, const QString &text, QPoint ort,
                                     const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->move(ort);
    label->adjustSize();
    return label;
}

QPushButton *Steuerelemente::knopf(QWidget *parent, const QString &name, const QString &text, const QRect &rahmen,
                                   bool aktiv)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(rahmen);
    button->setEnabled(aktiv);
    return button;
}

Auswahlbox *Steuerelemente::auswahl(QWidget *parent, const QString &name, const QString &prompt, QPoint ort,
                                    int breite, const QStringList &eintraege, bool aktiv)
{
    auto *box = new Auswahlbox(parent);
    box->setObjectName(name);
    box->setGeometry(ort.x(), ort.y(), breite, 21);
    box->addItems(eintraege);
    box->setText(prompt);
    box->setEnabled(aktiv);
    return box;
}

QLabel *Steuerelemente::bild(QWidget *parent, const QString &name, const QRect &rahmen, const QPixmap &pixmap)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(rahmen);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setPixmap(pixmap);
    return label;
}
