#pragma once

#include <unordered_map>
#include <utility>
#include <vector>

namespace platform::ui {

// c0 + Σ cᵢ·xᵢ over numbered variables, the terms sorted by variable.
struct LinearExpression {
    std::vector<std::pair<int, double>> terms;
    double constant = 0;

    static LinearExpression variable(int index, double coefficient = 1)
    {
        LinearExpression e;
        e.terms.emplace_back(index, coefficient);
        return e;
    }
    static LinearExpression value(double constant)
    {
        LinearExpression e;
        e.constant = constant;
        return e;
    }
    void add(const LinearExpression& other, double factor = 1);
    double coefficient(int variable) const;
    void remove(int variable);
    LinearExpression operator+(double c) const { LinearExpression e = *this; e.constant += c; return e; }
    LinearExpression operator-(const LinearExpression& other) const { LinearExpression e = *this; e.add(other, -1); return e; }
    LinearExpression operator+(const LinearExpression& other) const { LinearExpression e = *this; e.add(other, 1); return e; }
    LinearExpression scaled(double factor) const { LinearExpression e; e.add(*this, factor); return e; }
};

// Equations e = 0 added one at a time and kept in solved form (each pivot
// variable written in the free ones). An equation that contradicts those
// already held is refused, which is how a weaker constraint gives way.
class LinearSystem {
public:
    enum class Outcome { added, redundant, conflicting };

    Outcome add(const LinearExpression& equation);
    // The value of a variable, taking free variables as 0.
    double value(int variable) const;
    double evaluate(const LinearExpression& expression) const;

private:
    std::unordered_map<int, LinearExpression> rows_;
};

}
