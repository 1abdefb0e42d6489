#include "jetsql/parser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string_view>

#include "jetsql/connect_string.h"
#include "jetsql/errors.h"
#include "jetsql/lexer.h"
#include "jetsql/parser_ddl.h"
#include "jetsql/signatures.h"
#include "jetsql/token_cursor.h"

namespace jetsql {
namespace {

constexpr std::string_view kReserved[] = {
    "SELECT", "FROM",     "WHERE",       "GROUP",   "BY",         "HAVING", "ORDER",  "UNION",
    "ALL",    "DISTINCT", "DISTINCTROW", "TOP",     "AS",         "ON",     "INNER",  "LEFT",
    "RIGHT",  "OUTER",    "JOIN",        "AND",     "OR",         "NOT",    "XOR",    "EQV",
    "IMP",    "MOD",      "LIKE",        "BETWEEN", "IN",         "IS",     "NULL",   "EXISTS",
    "ANY",    "SOME",     "TRANSFORM",   "PIVOT",   "PARAMETERS", "INTO",   "ASC",    "DESC",
    "TRUE",   "FALSE",    "YES",         "NO",      "OFF",        "INSERT", "UPDATE", "DELETE",
    "SET",    "VALUES"};

constexpr std::array<std::string_view, 6> kActionWords = {"INSERT", "UPDATE", "DELETE",
                                                          "CREATE", "DROP",   "ALTER"};

class Parser : private TokenCursor {
 public:
  explicit Parser(const std::string& sql) : TokenCursor(Tokenize(sql)), sql_(sql) {}

  Statement ParseStatement() {
    Statement st;
    st.text = sql_;
    if (tok().kind == TokenKind::kWord) {
      std::string first = Upper(tok().text);
      if (std::find(kActionWords.begin(), kActionWords.end(), first) != kActionWords.end() ||
          first == "PROCEDURE") {
        st.kind = Statement::Kind::kAction;
        st.action_word = first;
        if (IsDataChange(first)) return ParseDataChange(std::move(st));
        if (first != "PROCEDURE") {
          st.ddl = std::make_unique<DataDefinition>(ParseDataDefinition(tokens_));
        }
        return st;
      }
    }
    if (AcceptWord("PARAMETERS")) {
      ParseParameters(&st);
      if (tok().kind == TokenKind::kWord && IsDataChange(Upper(tok().text))) {
        st.kind = Statement::Kind::kAction;
        st.action_word = Upper(tok().text);
        return ParseDataChange(std::move(st));
      }
    }
    if (AcceptWord("TRANSFORM")) {
      st.transform = ParseTopExpr();
      // Access saves the value's name with it (TRANSFORM Sum(x) AS SummeVonx); the columns
      // are named by the pivot values, so the name is read and not used.
      if (AcceptWord("AS")) {
        if (!IsName()) {
          throw errors::SyntaxInTransform();
        }
        TakeName();
      }
      if (!IsWord("SELECT")) throw errors::SyntaxInTransform();
      st.query = ParseQueryExpr();
      if (!AcceptWord("PIVOT")) {
        throw errors::SyntaxInTransform();
      }
      {
        size_t saved = expr_begin_;
        expr_begin_ = tok().pos;
        DepthGuard guard(this);
        st.pivot = ParseConcat();  // not ParseExpr: IN here starts the column list
        expr_begin_ = saved;
      }
      if (AcceptWord("IN")) {
        st.pivot_in = true;
        Expect("(", [] { throw errors::SyntaxInTransform(); });
        do {
          st.pivot_values.push_back(ParseTopExpr());
        } while (AcceptSymbol(","));
        Expect(")", [] { throw errors::SyntaxInTransform(); });
      }
    } else if (IsWord("SELECT") || IsSymbol("(")) {
      st.query = ParseQueryExpr();
    } else {
      throw errors::InvalidSqlStatement();
    }
    for (const auto& arm : st.query->arms) {
      if (!arm->into.empty()) st.kind = Statement::Kind::kAction;
    }
    ExpectEnd();
    return st;
  }

 private:
  void ExpectEnd() {
    // Saved queries may end so; it concerns permissions, which this program does not check.
    if (IsWord("WITH") && IsWord("OWNERACCESS", &peek())) {
      Advance();
      Advance();
      if (!AcceptWord("OPTION")) throw errors::CharactersAfterEnd();
    }
    bool semicolon = AcceptSymbol(";");
    if (tok().kind != TokenKind::kEnd) {
      if (last_clause_from_ && !semicolon) throw errors::SyntaxInFrom();
      throw errors::CharactersAfterEnd();
    }
  }

  // ---- INSERT, UPDATE, DELETE ----

  static bool IsDataChange(const std::string& word) {
    return word == "INSERT" || word == "UPDATE" || word == "DELETE";
  }

  Statement ParseDataChange(Statement st) {
    Advance();  // the action word
    if (st.action_word == "INSERT") {
      st.insert = ParseInsert();
    } else if (st.action_word == "UPDATE") {
      st.update = ParseUpdate();
    } else {
      st.delete_ = ParseDelete();
    }
    ExpectEnd();
    return st;
  }

  [[noreturn]] static void FailInsert() { throw errors::SyntaxInInsert(); }
  [[noreturn]] static void FailUpdate() { throw errors::SyntaxInUpdate(); }

  // A field name, optionally qualified; returns the qualifier through `qualifier`.
  std::string TakeFieldName(std::string* qualifier, void (*fail)()) {
    if (!IsName()) fail();
    std::string name = TakeName();
    if (AcceptSymbol(".") || AcceptSymbol("!")) {
      if (!IsName() && tok().kind != TokenKind::kWord) fail();
      if (qualifier) *qualifier = name;
      name = TakeName();
    }
    return name;
  }

  std::unique_ptr<InsertStatement> ParseInsert() {
    auto ins = std::make_unique<InsertStatement>();
    if (!AcceptWord("INTO") || !IsName()) FailInsert();
    ins->table = TakeName();
    if (IsSymbol("(") && !IsWord("SELECT", &peek())) {
      Advance();
      do {
        ins->columns.push_back(TakeFieldName(nullptr, FailInsert));
      } while (AcceptSymbol(","));
      Expect(")", FailInsert);
    }
    if (AcceptWord("VALUES")) {
      Expect("(", FailInsert);
      do {
        ins->values.push_back(ParseTopExpr());
      } while (AcceptSymbol(","));
      Expect(")", FailInsert);
    } else if (IsWord("SELECT") || IsSymbol("(")) {
      ins->query = ParseQueryExpr();
      for (const auto& arm : ins->query->arms) {
        if (!arm->into.empty()) FailInsert();
      }
    } else {
      FailInsert();
    }
    return ins;
  }

  std::unique_ptr<UpdateStatement> ParseUpdate() {
    auto up = std::make_unique<UpdateStatement>();
    if (IsWord("SET")) FailUpdate();
    do {
      up->from.push_back(ParseJoinChain());
    } while (AcceptSymbol(","));
    last_clause_from_ = false;
    if (!AcceptWord("SET")) FailUpdate();
    do {
      Assignment a;
      a.name = TakeFieldName(&a.qualifier, FailUpdate);
      if (!AcceptSymbol("=")) FailUpdate();
      a.value = ParseTopExpr();
      up->set.push_back(std::move(a));
    } while (AcceptSymbol(","));
    if (AcceptWord("WHERE")) up->where = ParseTopExpr();
    return up;
  }

  std::unique_ptr<DeleteStatement> ParseDelete() {
    auto del = std::make_unique<DeleteStatement>();
    AcceptWord("DISTINCTROW");
    if (AcceptSymbol("*")) {
      // every source of a single-table FROM
    } else if (!IsWord("FROM")) {
      do {
        std::string qualifier;
        if (!IsName()) throw errors::SyntaxInFrom();
        std::string name = TakeName();
        if (AcceptSymbol(".") || AcceptSymbol("!")) {
          qualifier = name;
          if (!AcceptSymbol("*")) {
            if (!IsName() && tok().kind != TokenKind::kWord) throw errors::SyntaxInFrom();
            Advance();  // a field of the table: the table's rows are deleted all the same
          }
        }
        del->targets.push_back(qualifier.empty() ? name : qualifier);
      } while (AcceptSymbol(","));
    }
    if (!AcceptWord("FROM")) throw errors::SyntaxInFrom();
    last_clause_from_ = true;
    do {
      del->from.push_back(ParseJoinChain());
    } while (AcceptSymbol(","));
    if (AcceptWord("WHERE")) {
      last_clause_from_ = false;
      del->where = ParseTopExpr();
    }
    return del;
  }

  template <typename F>
  void Expect(std::string_view s, F fail) {
    if (!AcceptSymbol(s)) fail();
  }

  // A name: a non-reserved word or a bracketed name.
  bool IsName() const {
    return tok().kind == TokenKind::kName ||
           (tok().kind == TokenKind::kWord && !IsReservedWord(tok().text));
  }
  std::string TakeName() {
    std::string n = tok().text;
    Advance();
    return n;
  }

  struct DepthGuard {
    explicit DepthGuard(Parser* p) : p(p) {
      if (++p->depth_ > kMaxNesting) throw errors::ExpressionTooComplex();
    }
    ~DepthGuard() { --p->depth_; }
    Parser* p;
  };

  [[noreturn]] void FailExpression() {
    size_t end = std::max(tok().end, expr_begin_);
    throw errors::MissingOperator(
        sql_.substr(expr_begin_, std::min<size_t>(end - expr_begin_, 200)));
  }

  std::unique_ptr<Expr> Node(ExprKind kind, size_t begin) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->begin = begin;
    return e;
  }
  std::unique_ptr<Expr> Finish(std::unique_ptr<Expr> e) {
    e->end = pos_ > 0 ? tokens_[pos_ - 1].end : 0;
    int d = 0;
    for (const auto& a : e->args) d = std::max(d, a->depth);
    e->depth = d + 1;
    if (e->depth > kMaxExpressionDepth) throw errors::ExpressionTooComplex();
    return e;
  }
  std::unique_ptr<Expr> Binary(std::string op, std::unique_ptr<Expr> l, std::unique_ptr<Expr> r) {
    auto e = Node(ExprKind::kBinary, l->begin);
    e->op = std::move(op);
    e->args.push_back(std::move(l));
    e->args.push_back(std::move(r));
    return Finish(std::move(e));
  }

  void ParseParameters(Statement* st) {
    auto fail = [] { throw errors::SyntaxInParameters(); };
    do {
      if (!IsName() && tok().kind != TokenKind::kWord) fail();
      Parameter p;
      p.name = TakeName();
      if (tok().kind != TokenKind::kWord) fail();
      p.type = TakeName();
      if (AcceptSymbol("(")) {
        if (tok().kind != TokenKind::kNumber) fail();
        Advance();
        Expect(")", fail);
      }
      st->parameters.push_back(std::move(p));
    } while (AcceptSymbol(","));
    Expect(";", fail);
  }

  std::unique_ptr<QueryExpr> ParseQueryExpr() {
    DepthGuard guard(this);
    auto q = std::make_unique<QueryExpr>();
    ParseArm(q.get());
    while (AcceptWord("UNION")) {
      q->union_all.push_back(AcceptWord("ALL"));
      if (!IsWord("SELECT") && !IsSymbol("(")) {
        throw errors::SyntaxInUnion();
      }
      ParseArm(q.get());
    }
    if (q->arms.size() > 1) {
      q->order_by = std::move(q->arms.back()->order_by);
      q->arms.back()->order_by.clear();
      for (size_t i = 0; i + 1 < q->arms.size(); ++i) {
        if (!q->arms[i]->order_by.empty()) {
          throw errors::SyntaxInUnion();
        }
      }
    }
    return q;
  }

  void ParseArm(QueryExpr* q) {
    if (AcceptSymbol("(")) {
      auto inner = ParseQueryExpr();
      Expect(")", [] { throw errors::SyntaxInUnion(); });
      if (!inner->order_by.empty() || inner->arms.size() != 1) {
        // A parenthesised union inside a union: flatten it.
        if (!inner->order_by.empty()) throw errors::SyntaxInUnion();
        for (size_t i = 0; i < inner->arms.size(); ++i) {
          if (i > 0) q->union_all.push_back(inner->union_all[i - 1]);
          q->arms.push_back(std::move(inner->arms[i]));
        }
        return;
      }
      q->arms.push_back(std::move(inner->arms[0]));
      return;
    }
    q->arms.push_back(ParseSelect());
  }

  std::unique_ptr<SelectQuery> ParseSelect() {
    if (!AcceptWord("SELECT")) throw errors::ReservedWordMisspelled();
    last_clause_from_ = false;
    auto s = std::make_unique<SelectQuery>();
    if (AcceptWord("DISTINCTROW")) {
      s->quantifier = SelectQuery::Quantifier::kDistinctRow;
    } else if (AcceptWord("DISTINCT")) {
      s->quantifier = SelectQuery::Quantifier::kDistinct;
    } else {
      AcceptWord("ALL");
    }
    if (AcceptWord("TOP")) {
      if (tok().kind != TokenKind::kNumber) throw errors::ReservedWordMisspelled();
      s->top = tok().number;
      Advance();
      if (AcceptWord("PERCENT")) s->top_percent = true;
      if (*s->top <= 0 || (!s->top_percent && !tokens_[pos_ - 1 - s->top_percent].integer)) {
        throw errors::ReservedWordMisspelled();
      }
    }
    if (IsWord("FROM") || tok().kind == TokenKind::kEnd) throw errors::ReservedWordMisspelled();
    do {
      SelectItem item;
      if (IsSymbol("*")) {
        item.expr = Node(ExprKind::kStar, tok().pos);
        Advance();
        item.expr = Finish(std::move(item.expr));
      } else {
        item.expr = ParseTopExpr();
      }
      if (AcceptWord("AS")) {
        if (!IsName()) throw errors::ReservedWordMisspelled();
        item.alias = TakeName();
      }
      s->items.push_back(std::move(item));
    } while (AcceptSymbol(","));
    if (AcceptWord("INTO")) {
      if (!IsName()) throw errors::ReservedWordMisspelled();
      s->into = TakeName();
      if (IsWord("IN")) s->into_database = ParseInDatabase();
    }
    if (AcceptWord("FROM")) {
      last_clause_from_ = true;
      do {
        s->from.push_back(ParseJoinChain());
      } while (AcceptSymbol(","));
      // An IN clause after the sources: every table of the FROM clause lies in that file.
      if (IsWord("IN")) {
        std::string file = ParseInDatabase();
        for (auto& item : s->from) SetDatabase(item.get(), file);
      }
    }
    if (AcceptWord("WHERE")) {
      last_clause_from_ = false;
      s->where = ParseTopExpr();
    }
    if (IsWord("GROUP")) {
      last_clause_from_ = false;
      Advance();
      if (!AcceptWord("BY")) throw errors::ReservedWordMisspelled();
      do {
        s->group_by.push_back(ParseTopExpr());
      } while (AcceptSymbol(","));
    }
    if (AcceptWord("HAVING")) {
      last_clause_from_ = false;
      s->having = ParseTopExpr();
    }
    if (IsWord("ORDER")) {
      last_clause_from_ = false;
      Advance();
      if (!AcceptWord("BY")) {
        throw errors::SyntaxInOrderBy();
      }
      do {
        OrderItem o;
        if (tok().kind == TokenKind::kEnd) {
          throw errors::SyntaxInOrderBy();
        }
        o.expr = ParseTopExpr();
        if (AcceptWord("DESC")) {
          o.descending = true;
        } else {
          AcceptWord("ASC");
        }
        s->order_by.push_back(std::move(o));
      } while (AcceptSymbol(","));
    }
    return s;
  }

  std::unique_ptr<FromItem> ParseJoinChain() {
    DepthGuard guard(this);
    auto left = ParseFromPrimary();
    while (true) {
      JoinKind kind = JoinKind::kNone;
      if (IsWord("INNER")) {
        kind = JoinKind::kInner;
      } else if (IsWord("LEFT")) {
        kind = JoinKind::kLeft;
      } else if (IsWord("RIGHT")) {
        kind = JoinKind::kRight;
      } else if (IsWord("JOIN")) {
        throw errors::SyntaxInFrom();
      } else {
        break;
      }
      Advance();
      if (kind != JoinKind::kInner) AcceptWord("OUTER");
      if (!AcceptWord("JOIN")) throw errors::SyntaxInFrom();
      auto right = ParseFromPrimary();
      if (!AcceptWord("ON")) {
        throw errors::SyntaxInJoin();
      }
      auto join = std::make_unique<FromItem>();
      join->kind = FromItem::Kind::kJoin;
      join->begin = left->begin;
      join->join = kind;
      join->on = ParseTopExpr();
      join->left = std::move(left);
      join->right = std::move(right);
      left = std::move(join);
    }
    return left;
  }

  std::unique_ptr<FromItem> ParseFromPrimary() {
    DepthGuard guard(this);
    auto item = std::make_unique<FromItem>();
    item->begin = tok().pos;
    if (AcceptSymbol("(")) {
      if (IsWord("SELECT")) {
        item->kind = FromItem::Kind::kDerived;
        item->query = ParseQueryExpr();
        if (!AcceptSymbol(")")) throw errors::SyntaxInFrom();
        last_clause_from_ = true;
        ParseAlias(item.get());
        return item;
      }
      auto inner = ParseJoinChain();
      if (!AcceptSymbol(")")) throw errors::SyntaxInFrom();
      return inner;
    }
    if (!IsName()) throw errors::SyntaxInFrom();
    item->kind = FromItem::Kind::kTable;
    item->table = TakeName();
    if (AcceptSymbol(".")) {
      if (!IsName()) throw errors::SyntaxInFrom();
      std::string prefix = std::move(item->table);
      item->table = TakeName();
      // [;DATABASE=file].table names another file; any other prefix (an owner) is ignored.
      if (std::optional<std::string> file = ConnectStringDatabase(prefix)) item->database = *file;
    }
    if (IsWord("IN")) item->database = ParseInDatabase();
    ParseAlias(item.get());
    return item;
  }

  // IN 'file' [connect]: the other Jet file a FROM clause, or one table of it, reads, or the file
  // a make-table query makes its table in.
  std::string ParseInDatabase() {
    Advance();  // IN
    if (tok().kind != TokenKind::kString) throw errors::SyntaxInFrom();
    std::string file = tok().text;
    Advance();
    if (tok().kind == TokenKind::kName) {
      std::optional<std::string> named = ConnectStringDatabase(tok().text);
      Advance();
      if (file.empty() && named) file = *named;
    }
    if (file.empty()) throw errors::SyntaxInFrom();
    return file;
  }

  static void SetDatabase(FromItem* item, const std::string& file) {
    if (item->kind == FromItem::Kind::kTable && item->database.empty()) item->database = file;
    if (item->kind == FromItem::Kind::kJoin) {
      SetDatabase(item->left.get(), file);
      SetDatabase(item->right.get(), file);
    }
  }

  void ParseAlias(FromItem* item) {
    if (AcceptWord("AS")) {
      if (!IsName()) throw errors::SyntaxInFrom();
      item->alias = TakeName();
    } else if (IsName()) {
      item->alias = TakeName();
    }
  }

  // ---- expressions ----

  std::unique_ptr<Expr> ParseTopExpr() {
    size_t saved = expr_begin_;
    expr_begin_ = tok().pos;
    auto e = ParseExpr();
    expr_begin_ = saved;
    return e;
  }

  std::unique_ptr<Expr> ParseExpr() {
    DepthGuard guard(this);
    return ParseImp();
  }

  template <typename Next>
  std::unique_ptr<Expr> LeftAssoc(std::string_view word, Next next) {
    auto l = (this->*next)();
    while (IsWord(word)) {
      Advance();
      auto r = (this->*next)();
      if ((word == "AND" || word == "OR") && l->kind == ExprKind::kBinary && l->op == word) {
        // And/Or chains stay flat: one node with many operands, however long the chain.
        if (l->args.size() >= kMaxChainLength) throw errors::ExpressionTooComplex();
        l->args.push_back(std::move(r));
        l = Finish(std::move(l));
        continue;
      }
      l = Binary(std::string(word), std::move(l), std::move(r));
    }
    return l;
  }
  std::unique_ptr<Expr> ParseImp() { return LeftAssoc("IMP", &Parser::ParseEqv); }
  std::unique_ptr<Expr> ParseEqv() { return LeftAssoc("EQV", &Parser::ParseXor); }
  std::unique_ptr<Expr> ParseXor() { return LeftAssoc("XOR", &Parser::ParseOr); }
  std::unique_ptr<Expr> ParseOr() { return LeftAssoc("OR", &Parser::ParseAnd); }
  std::unique_ptr<Expr> ParseAnd() { return LeftAssoc("AND", &Parser::ParseNot); }

  std::unique_ptr<Expr> ParseNot() {
    if (IsWord("NOT")) {
      DepthGuard guard(this);
      auto e = Node(ExprKind::kUnary, tok().pos);
      Advance();
      e->op = "NOT";
      e->args.push_back(ParseNot());
      return Finish(std::move(e));
    }
    return ParseComparison();
  }

  static bool IsComparisonSymbol(const Token& t) {
    if (t.kind != TokenKind::kSymbol) return false;
    return t.text == "=" || t.text == "<>" || t.text == "<" || t.text == "<=" || t.text == ">" ||
           t.text == ">=";
  }

  std::unique_ptr<Expr> ParseComparison() {
    auto l = ParseConcat();
    while (true) {
      size_t begin = l->begin;
      if (IsComparisonSymbol(tok())) {
        std::string op = tok().text;
        Advance();
        if (IsWord("ANY") || IsWord("ALL") || IsWord("SOME")) {
          auto e = Node(ExprKind::kQuantified, begin);
          e->op = op;
          e->quantifier = IsWord("ALL") ? "ALL" : "ANY";
          Advance();
          if (!AcceptSymbol("(") || !IsWord("SELECT")) FailExpression();
          e->query = ParseQueryExpr();
          if (!AcceptSymbol(")")) FailExpression();
          e->args.push_back(std::move(l));
          l = Finish(std::move(e));
          continue;
        }
        auto r = ParseConcat();
        l = Binary(op, std::move(l), std::move(r));
        continue;
      }
      bool negated = false;
      size_t save = pos_;
      if (IsWord("NOT") &&
          (IsWord("LIKE", &peek()) || IsWord("BETWEEN", &peek()) || IsWord("IN", &peek()))) {
        negated = true;
        Advance();
      }
      if (AcceptWord("LIKE")) {
        auto e = Node(ExprKind::kLike, begin);
        e->negated = negated;
        e->args.push_back(std::move(l));
        e->args.push_back(ParseConcat());
        l = Finish(std::move(e));
      } else if (AcceptWord("BETWEEN")) {
        auto e = Node(ExprKind::kBetween, begin);
        e->negated = negated;
        e->args.push_back(std::move(l));
        e->args.push_back(ParseConcat());
        if (!AcceptWord("AND")) FailExpression();
        e->args.push_back(ParseConcat());
        l = Finish(std::move(e));
      } else if (AcceptWord("IN")) {
        if (!AcceptSymbol("(")) FailExpression();
        if (IsWord("SELECT")) {
          auto e = Node(ExprKind::kInQuery, begin);
          e->negated = negated;
          e->query = ParseQueryExpr();
          e->args.push_back(std::move(l));
          if (!AcceptSymbol(")")) FailExpression();
          l = Finish(std::move(e));
        } else {
          auto e = Node(ExprKind::kInList, begin);
          e->negated = negated;
          e->args.push_back(std::move(l));
          do {
            e->args.push_back(ParseExpr());
          } while (AcceptSymbol(","));
          if (!AcceptSymbol(")")) FailExpression();
          l = Finish(std::move(e));
        }
      } else if (!negated && IsWord("IS")) {
        Advance();
        auto e = Node(ExprKind::kIsNull, begin);
        e->negated = AcceptWord("NOT");
        if (!AcceptWord("NULL")) FailExpression();
        e->args.push_back(std::move(l));
        l = Finish(std::move(e));
      } else {
        pos_ = save;
        return l;
      }
    }
  }

  std::unique_ptr<Expr> ParseConcat() {
    auto l = ParseAdditive();
    while (IsSymbol("&")) {
      Advance();
      l = Binary("&", std::move(l), ParseAdditive());
    }
    return l;
  }
  std::unique_ptr<Expr> ParseAdditive() {
    auto l = ParseMod();
    while (IsSymbol("+") || IsSymbol("-")) {
      std::string op = tok().text;
      Advance();
      l = Binary(op, std::move(l), ParseMod());
    }
    return l;
  }
  std::unique_ptr<Expr> ParseMod() {
    auto l = ParseIntDiv();
    while (IsWord("MOD")) {
      Advance();
      l = Binary("MOD", std::move(l), ParseIntDiv());
    }
    return l;
  }
  std::unique_ptr<Expr> ParseIntDiv() {
    auto l = ParseMul();
    while (IsSymbol("\\")) {
      Advance();
      l = Binary("\\", std::move(l), ParseMul());
    }
    return l;
  }
  std::unique_ptr<Expr> ParseMul() {
    auto l = ParseUnary();
    while (IsSymbol("*") || IsSymbol("/")) {
      std::string op = tok().text;
      Advance();
      l = Binary(op, std::move(l), ParseUnary());
    }
    return l;
  }
  std::unique_ptr<Expr> ParseUnary() {
    if (IsSymbol("-") || IsSymbol("+")) {
      DepthGuard guard(this);
      auto e = Node(ExprKind::kUnary, tok().pos);
      e->op = tok().text;
      Advance();
      e->args.push_back(ParseUnary());
      return Finish(std::move(e));
    }
    return ParsePower();
  }
  std::unique_ptr<Expr> ParsePowerOperand() {
    if (IsSymbol("-") || IsSymbol("+")) {
      DepthGuard guard(this);
      auto e = Node(ExprKind::kUnary, tok().pos);
      e->op = tok().text;
      Advance();
      e->args.push_back(ParsePowerOperand());
      return Finish(std::move(e));
    }
    return ParsePrimary();
  }
  std::unique_ptr<Expr> ParsePower() {
    auto l = ParsePrimary();
    while (IsSymbol("^")) {
      Advance();
      l = Binary("^", std::move(l), ParsePowerOperand());
    }
    return l;
  }

  std::unique_ptr<Expr> ParsePrimary() {
    DepthGuard guard(this);
    const Token& t = tok();
    size_t begin = t.pos;
    switch (t.kind) {
      case TokenKind::kNumber: {
        auto e = Node(ExprKind::kNumber, begin);
        e->number = t.number;
        e->integer = t.integer;
        e->text = t.text;
        Advance();
        return Finish(std::move(e));
      }
      case TokenKind::kString: {
        auto e = Node(ExprKind::kString, begin);
        e->text = t.text;
        Advance();
        return Finish(std::move(e));
      }
      case TokenKind::kDate: {
        auto e = Node(ExprKind::kDate, begin);
        e->number = t.number;
        e->text = t.text;
        Advance();
        return Finish(std::move(e));
      }
      case TokenKind::kSymbol: {
        if (t.text != "(") FailExpression();
        Advance();
        if (IsWord("SELECT")) {
          auto e = Node(ExprKind::kSubquery, begin);
          e->query = ParseQueryExpr();
          if (!AcceptSymbol(")")) FailExpression();
          return Finish(std::move(e));
        }
        auto inner = ParseExpr();
        if (!AcceptSymbol(")")) FailExpression();
        return inner;
      }
      case TokenKind::kWord: {
        std::string up = Upper(t.text);
        if (up == "NULL") {
          Advance();
          return Finish(Node(ExprKind::kNull, begin));
        }
        if (up == "TRUE" || up == "YES" || up == "ON" || up == "FALSE" || up == "NO" ||
            up == "OFF") {
          auto e = Node(ExprKind::kBoolean, begin);
          e->bool_value = up == "TRUE" || up == "YES" || up == "ON";
          Advance();
          return Finish(std::move(e));
        }
        if (up == "EXISTS") {
          Advance();
          auto e = Node(ExprKind::kExists, begin);
          if (!AcceptSymbol("(") || !IsWord("SELECT")) FailExpression();
          e->query = ParseQueryExpr();
          if (!AcceptSymbol(")")) FailExpression();
          return Finish(std::move(e));
        }
        if (peek().kind == TokenKind::kSymbol && peek().text == "(" &&
            (!IsReservedWord(t.text) || FindFunction(t.text) != nullptr)) {
          auto e = Node(ExprKind::kFunction, begin);
          e->name = t.text;
          Advance();
          Advance();
          if (IsSymbol("*")) {
            e->star = true;
            Advance();
          } else if (!IsSymbol(")")) {
            do {
              e->args.push_back(ParseExpr());
            } while (AcceptSymbol(","));
          }
          if (!AcceptSymbol(")")) FailExpression();
          return Finish(std::move(e));
        }
        if (IsReservedWord(t.text)) FailExpression();
        return ParseNameRef();
      }
      case TokenKind::kName:
        return ParseNameRef();
      case TokenKind::kEnd:
        FailExpression();
    }
    FailExpression();
  }

  std::unique_ptr<Expr> ParseNameRef() {
    size_t begin = tok().pos;
    std::string first = TakeName();
    if (IsSymbol(".") || IsSymbol("!")) {
      Advance();
      if (IsSymbol("*")) {
        Advance();
        auto e = Node(ExprKind::kStar, begin);
        e->qualifier = first;
        return Finish(std::move(e));
      }
      if (tok().kind != TokenKind::kName && tok().kind != TokenKind::kWord) FailExpression();
      auto e = Node(ExprKind::kColumn, begin);
      e->qualifier = first;
      e->name = TakeName();
      return Finish(std::move(e));
    }
    auto e = Node(ExprKind::kColumn, begin);
    e->name = first;
    return Finish(std::move(e));
  }

  const std::string& sql_;
  int depth_ = 0;
  size_t expr_begin_ = 0;
  bool last_clause_from_ = false;
};

}  // namespace

bool IsReservedWord(const std::string& word) {
  std::string up = Upper(word);
  return std::find(std::begin(kReserved), std::end(kReserved), up) != std::end(kReserved);
}

Statement Parse(const std::string& sql) {
  Parser parser(sql);
  return parser.ParseStatement();
}

}  // namespace jetsql
