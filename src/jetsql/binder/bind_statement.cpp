#include "jetsql/binder/bind_statement.h"
#include "error/errors.h"

#include <cctype>

#include "jet/name_fold.h"
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
  if (stmt_->kind == Statement::Kind::kAction || !stmt_->query) {
    out.returns_rows = false;
    return out;
  }
  for (const auto& p : stmt_->parameters) declared_.insert(FoldName(p.name));
  std::unique_ptr<BoundPivotProbe> probe;
  out.query = BindStatementQuery(pivot_values, &probe);
  CheckParameters();
  out.tables = tables_;
  out.pivot_probe = std::move(probe);
  return out;
}

std::unique_ptr<BoundQuery> Binder::BindStatementQuery(const std::vector<PivotValue>* pivot_values,
                                                       std::unique_ptr<BoundPivotProbe>* probe) {
  if (!stmt_->transform) return BindQueryExpr(*stmt_->query, nullptr);
  if (stmt_->query->arms.size() != 1) {
    throw errors::SyntaxInTransform();
  }
  PivotSpec spec;
  spec.transform = stmt_->transform.get();
  spec.pivot = stmt_->pivot.get();
  if (stmt_->pivot_in) {
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
  auto query = BindSelect(*stmt_->query->arms[0], nullptr, &spec);
  if (spec.probe) {
    *probe = std::move(spec.probe_out);
    return nullptr;
  }
  return query;
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

// Names compare as the catalogue compares them, for every script it can hold.
std::string Binder::FoldName(const std::string& s) {
  return jet::FoldName(s);
}

bool Binder::SameName(const std::string& a, const std::string& b) {
  return jet::SameName(a, b);
}

std::string Binder::Span(const Expr& e) const {
  if (e.end <= e.begin || e.end > stmt_->text.size()) return "";
  return stmt_->text.substr(e.begin, e.end - e.begin);
}

void Binder::CheckParameters() {
  size_t unknown = 0;
  for (const auto& p : unknown_) {
    if (!declared_.count(p)) ++unknown;
  }
  size_t count = declared_.size() + unknown;
  if (count > 0) throw errors::TooFewParameters(static_cast<int>(count));
}

}  // namespace jetsql
