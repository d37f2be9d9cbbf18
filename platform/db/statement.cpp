#include "platform/db/statement.h"

#include "platform/db/engineerror.h"

namespace {

struct Token {
    enum Kind { End, Name, Text, Symbol } kind = End;
    QString text;
    int position = 0;
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('%');
}

class Parser {
public:
    explicit Parser(const QString &text) : m_text(text) { advance(); }

    Statement parse()
    {
        Statement s;
        expectKeyword("select");
        if (isSymbol('*')) {
            advance();
        } else {
            s.columns << expectName("a column name or *");
            while (isSymbol(',')) {
                advance();
                s.columns << expectName("a column name");
            }
        }
        expectKeyword("from");
        s.table = expectName("a table name");
        if (isSymbol('.')) {
            advance();
            const QString extension = expectName("the extension db");
            if (extension.compare(QLatin1String("db"), Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("unknown table extension \".%1\"").arg(extension));
        }
        if (isKeyword("where")) {
            advance();
            s.conditions << condition();
            while (isKeyword("and")) {
                advance();
                s.conditions << condition();
            }
        }
        if (m_token.kind != Token::End)
            fail(QStringLiteral("unexpected \"%1\"").arg(m_token.text));
        return s;
    }

private:
    Statement::Condition condition()
    {
        Statement::Condition c;
        c.column = expectName("a column name");
        if (!isSymbol('='))
            fail(QStringLiteral("expected \"=\" after %1").arg(c.column));
        advance();
        if (m_token.kind != Token::Text)
            fail(QStringLiteral("expected a value in double quotes after %1=").arg(c.column));
        c.value = m_token.text;
        advance();
        return c;
    }

    bool isSymbol(char c) const
    {
        return m_token.kind == Token::Symbol && m_token.text == QLatin1Char(c);
    }

    bool isKeyword(const char *word) const
    {
        return m_token.kind == Token::Name
            && m_token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    void expectKeyword(const char *word)
    {
        if (!isKeyword(word))
            fail(QStringLiteral("expected %1").arg(QString::fromLatin1(word).toUpper()));
        advance();
    }

    QString expectName(const QString &what)
    {
        if (m_token.kind != Token::Name)
            fail(QStringLiteral("expected %1").arg(what));
        const QString name = m_token.text;
        advance();
        return name;
    }

    [[noreturn]] void fail(const QString &what) const
    {
        throw EngineError(QStringLiteral("Invalid statement: %1 at position %2.\nStatement: %3")
                              .arg(what)
                              .arg(m_token.position + 1)
                              .arg(m_text));
    }

    void advance()
    {
        int i = m_pos;
        while (i < m_text.size() && m_text[i].isSpace())
            ++i;
        m_token = Token();
        m_token.position = i;
        if (i >= m_text.size()) {
            m_pos = i;
            return;
        }
        const QChar c = m_text[i];
        if (c == QLatin1Char('"')) {
            const int close = m_text.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) {
                m_pos = i;
                fail(QStringLiteral("a value has no closing double quote"));
            }
            m_token.kind = Token::Text;
            m_token.text = m_text.mid(i + 1, close - i - 1);
            m_pos = close + 1;
        } else if (isNameChar(c)) {
            int end = i;
            while (end < m_text.size() && isNameChar(m_text[end]))
                ++end;
            m_token.kind = Token::Name;
            m_token.text = m_text.mid(i, end - i);
            m_pos = end;
        } else if (c == QLatin1Char(',') || c == QLatin1Char('*') || c == QLatin1Char('=')
                   || c == QLatin1Char('.')) {
            m_token.kind = Token::Symbol;
            m_token.text = c;
            m_pos = i + 1;
        } else {
            m_token.kind = Token::Symbol;
            m_token.text = c;
            m_pos = i;
            fail(QStringLiteral("unexpected character \"%1\"").arg(c));
        }
    }

    QString m_text;
    int m_pos = 0;
    Token m_token;
};

} // namespace

Statement Statement::parse(const QString &text)
{
    return Parser(text).parse();
}
