#include "jetsql/binder/bind_statement.h"

#include <cctype>

#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"
#include "jetsql/signatures.h"

namespace jetsql {

BoundProgram BindProgram(const Statement& stmt, Catalog& catalog,
                         const std::vector<PivotValue>* pivot_values) {
  Binder binder(stmt, catalog);
  return binder.Run(pivot_values);
}

BoundProgram Binder::Run(const std::vector<PivotValue>* pivot_values) {
  BoundProgram out;
  if (stmt_.kind == Statement::Kind::kAction || !stmt_.query) {
    out.returns_rows = false;
    return out;
  }
  for (const auto& p : stmt_.parameters) declared_.insert(FoldName(p.name));
  if (!stmt_.transform) {
    out.query = BindQueryExpr(*stmt_.query, nullptr);
    CheckParameters();
    out.tables = tables_;
    return out;
  }
  if (stmt_.query->arms.size() != 1) {
    ThrowSyntax(sqlerr::kSyntaxInTransform, "Syntaxfehler in TRANSFORM-Anweisung.");
  }
  PivotSpec spec;
  spec.transform = stmt_.transform.get();
  spec.pivot = stmt_.pivot.get();
  if (stmt_.pivot_in) {
    spec.columns = BindPivotInList();
  } else if (pivot_values) {
    for (const auto& v : *pivot_values) {
      PivotColumn c;
      auto literal = NewPivotLiteral(v.literal_sql);
      c.is_null = v.literal_sql == "NULL";
      c.value = std::move(literal);
      c.name = v.name;
      spec.columns.push_back(std::move(c));
    }
  } else {
    spec.probe = true;
  }
  out.query = BindSelect(*stmt_.query->arms[0], nullptr, &spec);
  CheckParameters();
  out.tables = tables_;
  if (spec.probe) {
    out.query.reset();
    out.pivot_probe = std::move(spec.probe_out);
  }
  return out;
}

BoundExprPtr Binder::NewPivotLiteral(const std::string& literal_sql) {
  auto n = std::make_shared<BoundExpr>();
  n->kind = BoundExprKind::kConstant;
  if (literal_sql != "NULL") {
    n->constant.kind = BoundConstant::Kind::kLiteral;
    n->constant.text = literal_sql;
  }
  return n;
}

std::string Binder::FoldName(const std::string& s) {
  std::string r = s;
  for (size_t i = 0; i < r.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(r[i]);
    if (c < 0x80) {
      r[i] = static_cast<char>(std::tolower(c));
    } else if (c == 0xC3 && i + 1 < r.size()) {
      unsigned char d = static_cast<unsigned char>(r[i + 1]);
      if (d >= 0x80 && d <= 0x9E && d != 0x97) r[i + 1] = static_cast<char>(d + 0x20);
      ++i;
    }
  }
  return r;
}

bool Binder::SameName(const std::string& a, const std::string& b) {
  return FoldName(a) == FoldName(b);
}

std::string Binder::Span(const Expr& e) const {
  if (e.end <= e.begin || e.end > stmt_.text.size()) return "";
  return stmt_.text.substr(e.begin, e.end - e.begin);
}

void Binder::CheckParameters() {
  size_t unknown = 0;
  for (const auto& p : unknown_) {
    if (!declared_.count(p)) ++unknown;
  }
  size_t count = declared_.size() + unknown;
  if (count > 0) ThrowTooFewParameters(static_cast<int>(count));
}

}  // namespace jetsql
