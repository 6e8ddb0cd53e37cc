#include "platform/ui/layout/LinearSystem.h"

#include <cmath>

namespace platform::ui {

namespace {
constexpr double coefficientEpsilon = 1e-9;
constexpr double conflictTolerance = 1e-4;
}

void LinearExpression::add(const LinearExpression& other, double factor)
{
    constant += other.constant * factor;
    for (const auto& [variable, coefficient] : other.terms) {
        double& c = terms[variable];
        c += coefficient * factor;
        if (std::abs(c) < coefficientEpsilon)
            terms.erase(variable);
    }
}

LinearSystem::Outcome LinearSystem::add(const LinearExpression& equation)
{
    LinearExpression reduced;
    reduced.constant = equation.constant;
    for (const auto& [variable, coefficient] : equation.terms) {
        auto row = rows_.find(variable);
        if (row != rows_.end())
            reduced.add(row->second, coefficient);
        else
            reduced.add(LinearExpression::variable(variable, coefficient));
    }
    if (reduced.terms.empty())
        return std::abs(reduced.constant) < conflictTolerance ? Outcome::redundant : Outcome::conflicting;

    int pivot = reduced.terms.begin()->first;
    for (const auto& [variable, coefficient] : reduced.terms) {
        if (std::abs(coefficient) > std::abs(reduced.terms[pivot]))
            pivot = variable;
    }
    double pivotCoefficient = reduced.terms[pivot];
    reduced.terms.erase(pivot);
    LinearExpression solved = reduced.scaled(-1 / pivotCoefficient);

    for (auto& [variable, row] : rows_) {
        auto term = row.terms.find(pivot);
        if (term == row.terms.end())
            continue;
        double coefficient = term->second;
        row.terms.erase(term);
        row.add(solved, coefficient);
    }
    rows_.emplace(pivot, std::move(solved));
    return Outcome::added;
}

double LinearSystem::value(int variable) const
{
    auto row = rows_.find(variable);
    if (row == rows_.end())
        return 0;
    return row->second.constant;
}

double LinearSystem::evaluate(const LinearExpression& expression) const
{
    double total = expression.constant;
    for (const auto& [variable, coefficient] : expression.terms)
        total += coefficient * value(variable);
    return total;
}

}
