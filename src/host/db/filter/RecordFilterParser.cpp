#include "host/db/filter/RecordFilterParser.h"

#include "host/db/engine/NameFold.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace {

// Nesting beyond this is refused: no person types it, and the reader must not run out of stack.
constexpr int kMaxDepth = 100;

struct Token
{
    enum class Type {
        End,
        Name,
        QuotedName,
        Text,
        Number,
        LeftParen,
        RightParen,
        Comma,
        Minus,
        Equal,
        NotEqual,
        Less,
        LessEqual,
        Greater,
        GreaterEqual
    };
    Type type = Type::End;
    std::string text; // name, unescaped text, or the number as written
    std::size_t position = 0;
};

bool isNameStart(unsigned char c)
{
    return std::isalpha(c) || c == '_' || c == '@' || c == '#' || c >= 0x80;
}

bool isNameChar(unsigned char c)
{
    return isNameStart(c) || std::isdigit(c) || c == '$';
}

class Parser
{
public:
    Parser(std::string_view text, FilterError &error)
        : m_text(text)
        , m_error(error)
    {
    }

    std::unique_ptr<FilterNode> run()
    {
        if (!advance())
            return nullptr;
        if (m_token.type == Token::Type::End)
            return fail(m_token.position, "the filter is empty");
        auto node = parseOr(0);
        if (!node)
            return nullptr;
        if (m_token.type != Token::Type::End)
            return fail(m_token.position, "unexpected " + describe(m_token));
        return node;
    }

private:
    std::unique_ptr<FilterNode> fail(std::size_t position, std::string message)
    {
        if (!m_failed) {
            m_failed = true;
            m_error.position = position;
            m_error.message = std::move(message);
        }
        return nullptr;
    }

    static std::string describe(const Token &token)
    {
        switch (token.type) {
        case Token::Type::End:
            return "end of the filter";
        case Token::Type::Text:
            return "text '" + token.text + "'";
        case Token::Type::Name:
        case Token::Type::QuotedName:
        case Token::Type::Number:
            return "\"" + token.text + "\"";
        case Token::Type::LeftParen:
            return "\"(\"";
        case Token::Type::RightParen:
            return "\")\"";
        case Token::Type::Comma:
            return "\",\"";
        case Token::Type::Minus:
            return "\"-\"";
        default:
            return "operator \"" + token.text + "\"";
        }
    }

    bool isKeyword(std::string_view keyword) const
    {
        return m_token.type == Token::Type::Name && NameFold::same(m_token.text, keyword);
    }

    // Reads the next token into m_token; false (with the error set) on a bad character.
    bool advance()
    {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
        m_token = Token {};
        m_token.position = m_pos;
        if (m_pos >= m_text.size())
            return true;
        const unsigned char c = static_cast<unsigned char>(m_text[m_pos]);
        const char next = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : '\0';
        auto single = [&](Token::Type type, std::size_t length) {
            m_token.type = type;
            m_token.text = std::string(m_text.substr(m_pos, length));
            m_pos += length;
            return true;
        };
        switch (c) {
        case '(':
            return single(Token::Type::LeftParen, 1);
        case ')':
            return single(Token::Type::RightParen, 1);
        case ',':
            return single(Token::Type::Comma, 1);
        case '-':
            return single(Token::Type::Minus, 1);
        case '=':
            return single(Token::Type::Equal, next == '=' ? 2 : 1);
        case '!':
            if (next == '=')
                return single(Token::Type::NotEqual, 2);
            break;
        case '<':
            if (next == '>')
                return single(Token::Type::NotEqual, 2);
            if (next == '=')
                return single(Token::Type::LessEqual, 2);
            return single(Token::Type::Less, 1);
        case '>':
            if (next == '=')
                return single(Token::Type::GreaterEqual, 2);
            return single(Token::Type::Greater, 1);
        case '\'':
            return quoted('\'', Token::Type::Text, "text is not closed with '");
        case '"':
            return quoted('"', Token::Type::QuotedName, "name is not closed with \"");
        case '[':
            return quoted(']', Token::Type::QuotedName, "name is not closed with ]");
        default:
            break;
        }
        if (std::isdigit(c) || (c == '.' && std::isdigit(static_cast<unsigned char>(next))))
            return number();
        if (isNameStart(c)) {
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && isNameChar(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos;
            m_token.type = Token::Type::Name;
            m_token.text = std::string(m_text.substr(start, m_pos - start));
            return true;
        }
        fail(m_pos, std::string("unexpected character \"") + static_cast<char>(c) + "\"");
        return false;
    }

    bool quoted(char close, Token::Type type, const char *unclosed)
    {
        const std::size_t start = m_pos++;
        std::string value;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == close) {
                if (m_pos < m_text.size() && m_text[m_pos] == close) {
                    value.push_back(close);
                    ++m_pos;
                    continue;
                }
                if (type == Token::Type::QuotedName && value.empty()) {
                    fail(start, "empty field name");
                    return false;
                }
                m_token.type = type;
                m_token.text = std::move(value);
                return true;
            }
            value.push_back(c);
        }
        fail(start, unclosed);
        return false;
    }

    bool number()
    {
        const std::size_t start = m_pos;
        auto digits = [&] {
            while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos;
        };
        digits();
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            digits();
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            std::size_t at = m_pos + 1;
            if (at < m_text.size() && (m_text[at] == '+' || m_text[at] == '-'))
                ++at;
            if (at < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[at]))) {
                m_pos = at;
                digits();
            }
        }
        if (m_pos < m_text.size() && isNameChar(static_cast<unsigned char>(m_text[m_pos]))) {
            fail(start,
                "bad number \"" + std::string(m_text.substr(start, m_pos - start + 1)) + "\"");
            return false;
        }
        m_token.type = Token::Type::Number;
        m_token.text = std::string(m_text.substr(start, m_pos - start));
        return true;
    }

    std::unique_ptr<FilterNode> parseOr(int depth)
    {
        return parseChain(depth, FilterNode::Kind::Or, "OR");
    }

    std::unique_ptr<FilterNode> parseChain(
        int depth, FilterNode::Kind kind, std::string_view keyword)
    {
        const std::size_t position = m_token.position;
        auto first = kind == FilterNode::Kind::Or ? parseChain(depth, FilterNode::Kind::And, "AND")
                                                  : parseNot(depth);
        if (!first)
            return nullptr;
        if (!isKeyword(keyword))
            return first;
        auto chain = std::make_unique<FilterNode>();
        chain->kind = kind;
        chain->position = position;
        chain->children.push_back(std::move(first));
        while (isKeyword(keyword)) {
            if (!advance())
                return nullptr;
            auto next = kind == FilterNode::Kind::Or
                ? parseChain(depth, FilterNode::Kind::And, "AND")
                : parseNot(depth);
            if (!next)
                return nullptr;
            chain->children.push_back(std::move(next));
        }
        return chain;
    }

    std::unique_ptr<FilterNode> parseNot(int depth)
    {
        if (depth >= kMaxDepth)
            return fail(m_token.position, "the filter is nested too deeply");
        if (isKeyword("NOT")) {
            auto node = std::make_unique<FilterNode>();
            node->kind = FilterNode::Kind::Not;
            node->position = m_token.position;
            if (!advance())
                return nullptr;
            auto inner = parseNot(depth + 1);
            if (!inner)
                return nullptr;
            node->children.push_back(std::move(inner));
            return node;
        }
        if (m_token.type == Token::Type::LeftParen) {
            const std::size_t open = m_token.position;
            if (!advance())
                return nullptr;
            auto inner = parseOr(depth + 1);
            if (!inner)
                return nullptr;
            if (m_token.type != Token::Type::RightParen) {
                return fail(m_token.position,
                    "\")\" expected for the \"(\" at position " + std::to_string(open + 1)
                        + ", found " + describe(m_token));
            }
            if (!advance())
                return nullptr;
            return inner;
        }
        return parsePredicate();
    }

    std::unique_ptr<FilterNode> parsePredicate()
    {
        auto node = std::make_unique<FilterNode>();
        node->position = m_token.position;
        if (!parseOperand(node->left, true))
            return nullptr;

        static const struct
        {
            Token::Type token;
            FilterNode::Op op;
        } comparisons[] = {
            { Token::Type::Equal, FilterNode::Op::Equal },
            { Token::Type::NotEqual, FilterNode::Op::NotEqual },
            { Token::Type::Less, FilterNode::Op::Less },
            { Token::Type::LessEqual, FilterNode::Op::LessEqual },
            { Token::Type::Greater, FilterNode::Op::Greater },
            { Token::Type::GreaterEqual, FilterNode::Op::GreaterEqual },
        };
        for (const auto &comparison : comparisons) {
            if (m_token.type == comparison.token) {
                node->kind = FilterNode::Kind::Compare;
                node->op = comparison.op;
                if (!advance() || !parseOperand(node->right, true))
                    return nullptr;
                return node;
            }
        }
        if (isKeyword("IS")) {
            node->kind = FilterNode::Kind::IsNull;
            if (!advance())
                return nullptr;
            if (isKeyword("NOT")) {
                node->negated = true;
                if (!advance())
                    return nullptr;
            }
            if (!isKeyword("NULL"))
                return fail(m_token.position, "NULL expected after IS, found " + describe(m_token));
            if (!advance())
                return nullptr;
            return node;
        }
        if (isKeyword("NOT")) {
            node->negated = true;
            if (!advance())
                return nullptr;
            if (!isKeyword("LIKE") && !isKeyword("IN"))
                return fail(
                    m_token.position, "LIKE or IN expected after NOT, found " + describe(m_token));
        }
        if (isKeyword("LIKE")) {
            node->kind = FilterNode::Kind::Like;
            if (!advance() || !parseOperand(node->right, true))
                return nullptr;
            return node;
        }
        if (isKeyword("IN")) {
            node->kind = FilterNode::Kind::In;
            if (!advance())
                return nullptr;
            if (m_token.type != Token::Type::LeftParen)
                return fail(
                    m_token.position, "\"(\" expected after IN, found " + describe(m_token));
            do {
                if (!advance())
                    return nullptr;
                FilterOperand value;
                if (!parseOperand(value, false))
                    return nullptr;
                node->list.push_back(std::move(value));
            } while (m_token.type == Token::Type::Comma);
            if (m_token.type != Token::Type::RightParen)
                return fail(m_token.position,
                    "\",\" or \")\" expected in the IN list, found " + describe(m_token));
            if (!advance())
                return nullptr;
            return node;
        }
        return fail(m_token.position,
            "a comparison expected after "
                + (node->left.kind == FilterOperand::Kind::Field ? "\"" + node->left.text + "\""
                                                                 : std::string("the value"))
                + ", found " + describe(m_token));
    }

    bool parseOperand(FilterOperand &operand, bool allowField)
    {
        operand.position = m_token.position;
        bool negative = false;
        if (m_token.type == Token::Type::Minus) {
            negative = true;
            if (!advance())
                return false;
            if (m_token.type != Token::Type::Number) {
                fail(m_token.position, "a number expected after \"-\", found " + describe(m_token));
                return false;
            }
        }
        switch (m_token.type) {
        case Token::Type::Number: {
            operand.kind = FilterOperand::Kind::Number;
            operand.text = (negative ? "-" : "") + m_token.text;
            const char *begin = operand.text.data();
            const char *end = begin + operand.text.size();
            const auto real = std::from_chars(begin, end, operand.number);
            if (real.ec != std::errc() || !std::isfinite(operand.number)) {
                fail(operand.position, "number out of range \"" + operand.text + "\"");
                return false;
            }
            const auto whole = std::from_chars(begin, end, operand.whole);
            operand.integral = whole.ec == std::errc() && whole.ptr == end;
            break;
        }
        case Token::Type::Text:
            operand.kind = FilterOperand::Kind::Text;
            operand.text = m_token.text;
            break;
        case Token::Type::QuotedName:
            if (!allowField) {
                fail(m_token.position, "a value expected, found " + describe(m_token));
                return false;
            }
            operand.kind = FilterOperand::Kind::Field;
            operand.text = m_token.text;
            break;
        case Token::Type::Name:
            if (isKeyword("TRUE") || isKeyword("FALSE")) {
                operand.kind = FilterOperand::Kind::Boolean;
                operand.integral = true;
                operand.whole = isKeyword("TRUE") ? 1 : 0;
                operand.number = static_cast<double>(operand.whole);
                operand.text.assign(1, operand.whole ? '1' : '0');
            } else if (isKeyword("NULL")) {
                operand.kind = FilterOperand::Kind::Null;
            } else if (isKeyword("AND") || isKeyword("OR") || isKeyword("NOT") || isKeyword("LIKE")
                || isKeyword("IS") || isKeyword("IN")) {
                fail(m_token.position,
                    (allowField ? "a field or value expected, found keyword "
                                : "a value expected, found keyword ")
                        + m_token.text);
                return false;
            } else if (!allowField) {
                fail(m_token.position, "a value expected, found " + describe(m_token));
                return false;
            } else {
                operand.kind = FilterOperand::Kind::Field;
                operand.text = m_token.text;
            }
            break;
        default:
            fail(m_token.position,
                (allowField ? "a field or value expected, found " : "a value expected, found ")
                    + describe(m_token));
            return false;
        }
        return advance();
    }

    std::string_view m_text;
    FilterError &m_error;
    std::size_t m_pos = 0;
    Token m_token;
    bool m_failed = false;
};

} // namespace

std::unique_ptr<FilterNode> RecordFilterParser::parse(std::string_view text, FilterError &error)
{
    Parser parser(text, error);
    return parser.run();
}
