#include "db/access/MdbFilter.h"

#include <cmath>
#include <cstring>

#include "core/Exception.h"
#include "db/access/MdbDate.h"
#include "db/access/MdbRowReader.h"

struct TMdbFilter::Node {
    enum class Test {
        And,
        Or,
        Not,
        Constant,
        IsNull,
        IsNotNull,
        Number,
        Boolean,
        Date,
        Text,
        Like
    };
    Test test = Test::Constant;
    int op = 0;
    int column = -1;
    bool truth = false;
    bool caseless = false;
    double number = 0;
    QString text;
    std::unique_ptr<Node> left, right;
};

namespace {

using Node = TMdbFilter::Node;
using Test = Node::Test;
enum class Truth { False, True, Unknown };

// libmdbsql stores a condition's column name in `parent`; its own free leaves the name behind.
void FreeTree(MdbSargNode* node) {
    if (!node)
        return;
    FreeTree(node->left);
    FreeTree(node->right);
    g_free(node->parent);
    g_free(node);
}

struct TreeOwner {
    MdbSargNode* tree;
    ~TreeOwner() { FreeTree(tree); }
};

[[noreturn]] void Refuse(const QString& message) {
    throw EDatabaseError(message);
}

// libmdbsql keeps at most 254 bytes of a quoted literal and drops the rest without a word.
constexpr std::size_t kLongestLiteral = sizeof(MdbAny::s) - 2;

QString LiteralText(const MdbSargNode& node) {
    const std::size_t length = strnlen(node.value.s, sizeof node.value.s);
    if (length >= kLongestLiteral)
        Refuse(QStringLiteral("mdbtools cannot compare with texts of more than %1 bytes")
                   .arg(kLongestLiteral - 1));
    return QString::fromUtf8(node.value.s, qsizetype(length));
}

bool IsComparison(int op) {
    return op == MDB_EQUAL || op == MDB_GT || op == MDB_LT || op == MDB_GTEQ || op == MDB_LTEQ ||
           op == MDB_NEQ;
}

Truth Of(bool value) {
    return value ? Truth::True : Truth::False;
}

Truth Ordered(int op, int comparison) {
    switch (op) {
        case MDB_EQUAL:
            return Of(comparison == 0);
        case MDB_GT:
            return Of(comparison > 0);
        case MDB_LT:
            return Of(comparison < 0);
        case MDB_GTEQ:
            return Of(comparison >= 0);
        case MDB_LTEQ:
            return Of(comparison <= 0);
        default:
            return Of(comparison != 0);
    }
}

Truth CompareNumbers(int op, double value, double literal) {
    if (std::isnan(value) || std::isnan(literal))
        return Truth::Unknown;
    return Ordered(op, value < literal ? -1 : value > literal ? 1 : 0);
}

bool SameChar(QChar a, QChar b, bool caseless) {
    return caseless ? a.toCaseFolded() == b.toCaseFolded() : a == b;
}

bool Like(QStringView text, QStringView pattern, bool caseless) {
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('%')) {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('_') || SameChar(pattern[p], text[t], caseless))) {
            ++p;
            ++t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('%'))
        ++p;
    return p == pattern.size();
}

int ColumnIndex(const MdbTableDef& table, const MdbColumn* column) {
    for (unsigned i = 0; i < table.num_cols; ++i)
        if (g_ptr_array_index(table.columns, i) == column)
            return int(i);
    return -1;
}

std::unique_ptr<Node> CompileComparison(const MdbTableDef& table, const MdbSargNode& source) {
    auto node = std::make_unique<Node>();
    node->op = source.op;
    if (!source.col) {
        if (source.parent)
            Refuse(QStringLiteral("Column %1 not found in table %2")
                       .arg(QString::fromUtf8(static_cast<const char*>(source.parent)),
                            QString::fromUtf8(table.name)));
        // A comparison of two literals, already decided by the parser.
        node->test = Test::Constant;
        node->truth = source.value.i != 0;
        return node;
    }
    node->column = ColumnIndex(table, source.col);
    if (node->column < 0)
        Refuse(QStringLiteral("mdbtools could not resolve a condition"));
    const QString name = QString::fromUtf8(source.col->name);
    if (source.op == MDB_ISNULL || source.op == MDB_NOTNULL) {
        node->test = source.op == MDB_ISNULL ? Test::IsNull : Test::IsNotNull;
        return node;
    }

    const bool quoted = source.val_type == MDB_TEXT;
    const QString literal = quoted ? LiteralText(source) : QString();
    const double number = source.val_type == MDB_DOUBLE ? source.value.d : double(source.value.i);
    const auto mismatch = [&] {
        Refuse(QStringLiteral("Column %1 cannot be compared with %2")
                   .arg(name, quoted ? QStringLiteral("'%1'").arg(literal)
                                     : QString::number(number, 'g', 15)));
    };
    const int type = source.col->col_type;
    const bool textColumn = type == MDB_TEXT || type == MDB_MEMO || type == MDB_REPID;

    if (source.op == MDB_LIKE || source.op == MDB_ILIKE) {
        if (!textColumn || !quoted)
            Refuse(QStringLiteral("LIKE needs a text column and a quoted pattern: %1").arg(name));
        node->test = Test::Like;
        node->text = literal;
        node->caseless = source.op == MDB_ILIKE;
        return node;
    }
    if (!IsComparison(source.op))
        Refuse(QStringLiteral("mdbtools could not read a condition on %1").arg(name));

    if (textColumn) {
        if (!quoted)
            mismatch();
        node->test = Test::Text;
        node->text = literal;
        return node;
    }
    switch (type) {
        case MDB_DATETIME: {
            node->test = Test::Date;
            const auto days = quoted ? ParseDateLiteral(literal)
                                     : std::optional<double>(OleDateToLinearDays(number));
            if (!days)
                mismatch();
            node->number = *days;
            return node;
        }
        case MDB_BOOL:
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_NUMERIC:
        case MDB_COMPLEX: {
            node->test = type == MDB_BOOL ? Test::Boolean : Test::Number;
            bool ok = true;
            node->number = quoted ? literal.trimmed().toDouble(&ok) : number;
            if (!ok)
                mismatch();
            if (type == MDB_BOOL)
                node->number = node->number != 0 ? 1 : 0;
            return node;
        }
        default:
            Refuse(QStringLiteral("Column %1 cannot be compared").arg(name));
    }
}

std::unique_ptr<Node> Compile(const MdbTableDef& table, const MdbSargNode* source) {
    if (!source)
        Refuse(QStringLiteral("mdbtools could not read the WHERE clause"));
    switch (source->op) {
        case MDB_AND:
        case MDB_OR: {
            auto node = std::make_unique<Node>();
            node->test = source->op == MDB_AND ? Test::And : Test::Or;
            node->left = Compile(table, source->left);
            node->right = Compile(table, source->right);
            return node;
        }
        case MDB_NOT: {
            auto node = std::make_unique<Node>();
            node->test = Test::Not;
            node->left = Compile(table, source->left);
            return node;
        }
        default:
            return CompileComparison(table, *source);
    }
}

Truth Evaluate(const Node& node, TMdbRowReader& row) {
    switch (node.test) {
        case Test::And: {
            const Truth left = Evaluate(*node.left, row);
            if (left == Truth::False)
                return Truth::False;
            const Truth right = Evaluate(*node.right, row);
            if (right == Truth::False)
                return Truth::False;
            return left == Truth::True && right == Truth::True ? Truth::True : Truth::Unknown;
        }
        case Test::Or: {
            const Truth left = Evaluate(*node.left, row);
            if (left == Truth::True)
                return Truth::True;
            const Truth right = Evaluate(*node.right, row);
            if (right == Truth::True)
                return Truth::True;
            return left == Truth::False && right == Truth::False ? Truth::False : Truth::Unknown;
        }
        case Test::Not: {
            const Truth inner = Evaluate(*node.left, row);
            return inner == Truth::Unknown ? inner : Of(inner == Truth::False);
        }
        case Test::Constant:
            return Of(node.truth);
        default:
            break;
    }
    const TMdbValue& value = row.Value(node.column);
    const bool null = value.kind == TMdbValue::Kind::Null;
    if (node.test == Test::IsNull)
        return Of(null);
    if (node.test == Test::IsNotNull)
        return Of(!null);
    if (null)
        return Truth::Unknown;
    switch (node.test) {
        case Test::Number:
            return CompareNumbers(
                node.op,
                value.kind == TMdbValue::Kind::Integer ? double(value.integer) : value.number,
                node.number);
        case Test::Boolean:
            return CompareNumbers(node.op, value.integer != 0 ? 1 : 0, node.number);
        case Test::Date:
            return CompareNumbers(node.op, OleDateToLinearDays(value.number), node.number);
        case Test::Text: {
            const QString text = QString::fromUtf8(value.data.data(), qsizetype(value.data.size()));
            if (node.op == MDB_EQUAL || node.op == MDB_NEQ)
                return Of((text == node.text) == (node.op == MDB_EQUAL));
            return Ordered(node.op, QString::localeAwareCompare(text, node.text));
        }
        default: {
            const QString text = QString::fromUtf8(value.data.data(), qsizetype(value.data.size()));
            return Of(Like(text, node.text, node.caseless));
        }
    }
}

}  // namespace

TMdbFilter::TMdbFilter(MdbTableDef* table) {
    const TreeOwner owner{table->sarg_tree};
    table->sarg_tree = nullptr;
    if (owner.tree)
        root_ = Compile(*table, owner.tree);
}

TMdbFilter::~TMdbFilter() = default;

bool TMdbFilter::Matches(TMdbRowReader& row) const {
    return !root_ || Evaluate(*root_, row) == Truth::True;
}
