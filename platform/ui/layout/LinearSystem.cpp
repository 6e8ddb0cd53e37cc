#include "platform/ui/layout/LinearSystem.h"

#include <algorithm>
#include <cmath>

namespace platform::ui {

namespace {
constexpr double coefficientEpsilon = 1e-9;
constexpr double conflictTolerance = 1e-4;
}

void LinearExpression::add(const LinearExpression& other, double factor)
{
    constant += other.constant * factor;
    std::vector<std::pair<int, double>> merged;
    merged.reserve(terms.size() + other.terms.size());
    auto a = terms.begin();
    auto b = other.terms.begin();
    while (a != terms.end() || b != other.terms.end()) {
        std::pair<int, double> next;
        if (b == other.terms.end() || (a != terms.end() && a->first < b->first))
            next = *a++;
        else if (a == terms.end() || b->first < a->first)
            next = {b->first, (b++)->second * factor};
        else
            next = {a->first, (a++)->second + (b++)->second * factor};
        if (std::abs(next.second) >= coefficientEpsilon)
            merged.push_back(next);
    }
    terms = std::move(merged);
}

double LinearExpression::coefficient(int variable) const
{
    auto it = std::lower_bound(terms.begin(), terms.end(), variable, [](const auto& t, int v) { return t.first < v; });
    return it != terms.end() && it->first == variable ? it->second : 0;
}

void LinearExpression::remove(int variable)
{
    auto it = std::lower_bound(terms.begin(), terms.end(), variable, [](const auto& t, int v) { return t.first < v; });
    if (it != terms.end() && it->first == variable)
        terms.erase(it);
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

    int pivot = reduced.terms.front().first;
    double pivotCoefficient = reduced.terms.front().second;
    for (const auto& [variable, coefficient] : reduced.terms) {
        if (std::abs(coefficient) > std::abs(pivotCoefficient)) {
            pivot = variable;
            pivotCoefficient = coefficient;
        }
    }
    reduced.remove(pivot);
    LinearExpression solved = reduced.scaled(-1 / pivotCoefficient);

    for (auto& [variable, row] : rows_) {
        double coefficient = row.coefficient(pivot);
        if (coefficient == 0)
            continue;
        row.remove(pivot);
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
