#include "platform/ui/layout/LayoutEngine.h"

#include "platform/foundation/Console.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/layout/LinearSystem.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <unordered_map>

namespace platform::ui {

namespace {

enum class Kind { equal, atMost, atLeast };

struct Item {
    LinearExpression expression; // kept as expression (kind) 0
    Kind kind;
    LayoutPriority priority;
    const LayoutConstraint* constraint = nullptr;
};

class Solver {
public:
    Solver(View& root, bool fitting) : root_(root), fitting_(fitting) { }

    void collect();
    void addFittingTargets(Size target, LayoutPriority horizontal, LayoutPriority vertical);
    void run(bool reportConflicts);
    void writeBack();
    Size rootSize() const { return {value(rootVariable_ + 2), value(rootVariable_ + 3)}; }

private:
    bool isVariable(const View& view) const { return variables_.count(&view) != 0; }
    LinearExpression position(const View& view, int axis) const;
    LinearExpression length(const View& view, int axis) const;
    LinearExpression anchorExpression(const LayoutAnchor& anchor);
    int contentVariables(const ScrollView& scroll);
    bool inTree(const View& view) const { return view.isDescendantOf(root_); }
    void addConstraint(const LayoutConstraint& constraint);
    void addIntrinsic(View& view);

    View& root_;
    bool fitting_;
    int nextVariable_ = 0;
    int rootVariable_ = -1;
    std::unordered_map<const View*, int> variables_;
    std::unordered_map<const ScrollView*, int> contentVariables_;
    std::vector<Item> items_;
    std::vector<std::pair<int, double>> stays_;
    struct Group {
        std::vector<int> variables;
        std::vector<const Item*> items;
        std::vector<std::pair<int, double>> stays;
    };
    void solveGroup(const Group& group, bool reportConflicts);
    double evaluate(const LinearExpression& expression) const;
    double value(int variable) const { return values_[static_cast<std::size_t>(variable)]; }
    std::vector<double> values_;
};

void Solver::collect()
{
    forEachView(root_, [&](View& view) {
        bool variable = fitting_ && &view == &root_;
        if (&view != &root_ && !view.translatesAutoresizingMaskIntoConstraints())
            variable = true;
        if (!variable)
            return;
        int base = nextVariable_;
        nextVariable_ += 4;
        variables_[&view] = base;
        if (&view == &root_)
            rootVariable_ = base;
    });
    forEachView(root_, [&](View& view) {
        for (const auto& constraint : view.constraints())
            addConstraint(*constraint);
        if (isVariable(view))
            addIntrinsic(view);
    });
    // What nothing decides keeps its current value (an intrinsic size where
    // there is one). These come last, so every real constraint goes first.
    for (const auto& [view, base] : variables_) {
        Rect f {{view->center().x - view->bounds().width() / 2, view->center().y - view->bounds().height() / 2}, view->bounds().size};
        LinearExpression p0 = view == &root_ ? LinearExpression::value(0) : position(*view->superview(), 0);
        LinearExpression p1 = view == &root_ ? LinearExpression::value(0) : position(*view->superview(), 1);
        Size intrinsic = view->intrinsicContentSize();
        double offsetX = view == &root_ ? 0 : -view->superview()->bounds().minX();
        double offsetY = view == &root_ ? 0 : -view->superview()->bounds().minY();
        // Positions stay relative to the superview, so a moving parent carries its children.
        items_.push_back({LinearExpression::variable(base) - p0 + (-(f.minX() + offsetX)), Kind::equal, 0.5f});
        items_.push_back({LinearExpression::variable(base + 1) - p1 + (-(f.minY() + offsetY)), Kind::equal, 0.5f});
        stays_.push_back({base + 2, intrinsic.width >= 0 ? intrinsic.width : f.width()});
        stays_.push_back({base + 3, intrinsic.height >= 0 ? intrinsic.height : f.height()});
    }
    for (const auto& [scroll, base] : contentVariables_) {
        stays_.push_back({base, scroll->contentSize().width});
        stays_.push_back({base + 1, scroll->contentSize().height});
    }
}

LinearExpression Solver::position(const View& view, int axis) const
{
    auto it = variables_.find(&view);
    if (it != variables_.end()) {
        if (&view == &root_)
            return LinearExpression::value(axis == 0 ? view.bounds().minX() : view.bounds().minY());
        return LinearExpression::variable(it->second + axis);
    }
    // A view placed by its frame is taken where it is now, so what lies inside
    // it (a table row's content) is solved apart from what lies around it.
    double total = 0;
    const View* v = &view;
    for (; v != &root_ && v->superview(); v = v->superview()) {
        const View& parent = *v->superview();
        total += axis == 0 ? v->center().x - v->bounds().width() / 2 - parent.bounds().minX()
                           : v->center().y - v->bounds().height() / 2 - parent.bounds().minY();
    }
    total += axis == 0 ? v->bounds().minX() : v->bounds().minY();
    return LinearExpression::value(total);
}

LinearExpression Solver::length(const View& view, int axis) const
{
    auto it = variables_.find(&view);
    if (it != variables_.end())
        return LinearExpression::variable(it->second + 2 + axis);
    double own = axis == 0 ? view.bounds().width() : view.bounds().height();
    // A view that resizes with its superview follows the superview's solved size.
    bool flexible = (view.autoresizingMask() & (axis == 0 ? View::flexibleWidth : View::flexibleHeight)) != 0;
    if (flexible && &view != &root_ && view.superview()) {
        const View& parent = *view.superview();
        double parentNow = axis == 0 ? parent.bounds().width() : parent.bounds().height();
        return length(parent, axis) + (own - parentNow);
    }
    return LinearExpression::value(own);
}

int Solver::contentVariables(const ScrollView& scroll)
{
    auto it = contentVariables_.find(&scroll);
    if (it != contentVariables_.end())
        return it->second;
    int base = nextVariable_;
    nextVariable_ += 2;
    contentVariables_[&scroll] = base;
    return base;
}

LinearExpression Solver::anchorExpression(const LayoutAnchor& anchor)
{
    auto view = anchor.view().lock();
    LayoutAttribute attribute = anchor.attribute();
    int axis = (attribute == LayoutAttribute::top || attribute == LayoutAttribute::bottom || attribute == LayoutAttribute::height
                || attribute == LayoutAttribute::centerY) ? 1 : 0;
    LinearExpression start = position(*view, axis);
    LinearExpression size = length(*view, axis);
    if (LayoutGuide* guide = anchor.guide()) {
        if (guide->kind() == LayoutGuide::Kind::scrollContent) {
            if (auto* scroll = dynamic_cast<const ScrollView*>(view.get())) {
                start = start + -(axis == 0 ? scroll->bounds().minX() : scroll->bounds().minY());
                size = LinearExpression::variable(contentVariables(*scroll) + axis);
            }
        } else if (guide->kind() != LayoutGuide::Kind::scrollFrame) {
            Rect inner = guide->layoutFrame();
            Rect outer = view->bounds();
            double before = axis == 0 ? inner.minX() - outer.minX() : inner.minY() - outer.minY();
            double after = axis == 0 ? outer.maxX() - inner.maxX() : outer.maxY() - inner.maxY();
            start = start + before;
            size = size + -(before + after);
        }
    }
    switch (attribute) {
    case LayoutAttribute::left:
    case LayoutAttribute::leading:
    case LayoutAttribute::top:
        return start;
    case LayoutAttribute::right:
    case LayoutAttribute::trailing:
    case LayoutAttribute::bottom:
        return start + size;
    case LayoutAttribute::centerX:
    case LayoutAttribute::centerY:
        return start + size.scaled(0.5);
    case LayoutAttribute::width:
    case LayoutAttribute::height:
        return size;
    }
    return start;
}

void Solver::addConstraint(const LayoutConstraint& constraint)
{
    auto first = constraint.firstAnchor().view().lock();
    if (!first || !inTree(*first))
        return;
    LinearExpression expression = anchorExpression(constraint.firstAnchor());
    if (const auto& second = constraint.secondAnchor()) {
        auto other = second->view().lock();
        if (!other || !inTree(*other))
            return;
        expression.add(anchorExpression(*second), -constraint.multiplier());
    }
    expression.constant -= constraint.constant();
    Kind kind = constraint.relation() == LayoutRelation::equal ? Kind::equal
        : constraint.relation() == LayoutRelation::lessThanOrEqual ? Kind::atMost : Kind::atLeast;
    items_.push_back({std::move(expression), kind, constraint.priority(), &constraint});
}

void Solver::addIntrinsic(View& view)
{
    Size intrinsic = view.intrinsicContentSize();
    const double values[2] = {intrinsic.width, intrinsic.height};
    for (int axis = 0; axis < 2; ++axis) {
        if (values[axis] < 0)
            continue;
        LayoutAxis layoutAxis = axis == 0 ? LayoutAxis::horizontal : LayoutAxis::vertical;
        LinearExpression difference = length(view, axis) + -values[axis];
        // The natural size is also a wish just below the weaker of the two, so
        // that something weaker (a stack hugging its content) cannot pull it away.
        LayoutPriority weaker = std::min(view.contentHuggingPriority(layoutAxis), view.contentCompressionResistancePriority(layoutAxis));
        items_.push_back({difference, Kind::equal, std::min(weaker, layoutPriorityRequired - 1) - 0.5f});
        items_.push_back({difference, Kind::atMost, view.contentHuggingPriority(layoutAxis)});
        items_.push_back({difference, Kind::atLeast, view.contentCompressionResistancePriority(layoutAxis)});
    }
}

void Solver::addFittingTargets(Size target, LayoutPriority horizontal, LayoutPriority vertical)
{
    items_.push_back({LinearExpression::variable(rootVariable_ + 2) + -target.width, Kind::equal, horizontal});
    items_.push_back({LinearExpression::variable(rootVariable_ + 3) + -target.height, Kind::equal, vertical});
}

void Solver::run(bool reportConflicts)
{
    std::stable_sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) { return a.priority > b.priority; });
    values_.assign(static_cast<std::size_t>(nextVariable_), 0);

    // Views that no constraint ties together are solved apart (each table row
    // on its own), which keeps every system small.
    std::vector<int> parent(static_cast<std::size_t>(nextVariable_));
    for (int v = 0; v < nextVariable_; ++v)
        parent[static_cast<std::size_t>(v)] = v;
    std::function<int(int)> find = [&](int v) {
        while (parent[static_cast<std::size_t>(v)] != v)
            v = parent[static_cast<std::size_t>(v)] = parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(v)])];
        return v;
    };
    for (const Item& item : items_) {
        if (item.expression.terms.empty())
            continue;
        int first = find(item.expression.terms.begin()->first);
        for (const auto& [variable, coefficient] : item.expression.terms)
            parent[static_cast<std::size_t>(find(variable))] = first;
    }
    std::map<int, Group> groups;
    for (int v = 0; v < nextVariable_; ++v)
        groups[find(v)].variables.push_back(v);
    for (const Item& item : items_) {
        if (!item.expression.terms.empty())
            groups[find(item.expression.terms.begin()->first)].items.push_back(&item);
    }
    for (const auto& stay : stays_)
        groups[find(stay.first)].stays.push_back(stay);
    for (auto& [root, group] : groups)
        solveGroup(group, reportConflicts);
}

double Solver::evaluate(const LinearExpression& expression) const
{
    double total = expression.constant;
    for (const auto& [variable, coefficient] : expression.terms)
        total += coefficient * values_[static_cast<std::size_t>(variable)];
    return total;
}

void Solver::solveGroup(const Group& group, bool reportConflicts)
{
    const auto& items = group.items;
    std::vector<bool> enforced(items.size(), false);
    std::vector<bool> tried(items.size(), false);
    LinearSystem system;
    for (int round = 0; round < 256; ++round) {
        system = LinearSystem();
        std::vector<const LayoutConstraint*> broken;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const Item& item = *items[i];
            if (item.kind != Kind::equal && !enforced[i])
                continue;
            if (system.add(item.expression) == LinearSystem::Outcome::conflicting && item.priority >= layoutPriorityRequired)
                broken.push_back(item.constraint);
        }
        for (const auto& [variable, value] : group.stays)
            system.add(LinearExpression::variable(variable) + -value);

        // Enforce the strongest, most violated inequality and solve again; one
        // at a time, so that meeting it can satisfy the others.
        std::size_t worst = items.size();
        double worstViolation = 0;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const Item& item = *items[i];
            if (item.kind == Kind::equal || tried[i])
                continue;
            if (worst < items.size() && item.priority < items[worst]->priority)
                break;
            double value = system.evaluate(item.expression);
            double violation = item.kind == Kind::atMost ? value : -value;
            if (violation > 1e-6 && violation > worstViolation) {
                worst = i;
                worstViolation = violation;
            }
        }
        if (worst < items.size()) {
            enforced[worst] = tried[worst] = true;
            continue;
        }
        for (std::size_t i = 0; i < items.size(); ++i) {
            const Item& item = *items[i];
            if (item.kind != Kind::equal && enforced[i] && item.priority >= layoutPriorityRequired) {
                double value = system.evaluate(item.expression);
                if (item.kind == Kind::atMost ? value > 1e-4 : value < -1e-4)
                    broken.push_back(item.constraint);
            }
        }
        if (reportConflicts) {
            for (const LayoutConstraint* constraint : broken) {
                if (!constraint || !constraint->takeFirstConflictReport())
                    continue;
                platform::console("Unable to simultaneously satisfy constraints. Will attempt to recover by breaking "
                                  + constraint->description());
            }
        }
        break;
    }
    for (int variable : group.variables)
        values_[static_cast<std::size_t>(variable)] = system.value(variable);
}

double tidy(double value)
{
    double rounded = std::round(value * 1e6) / 1e6;
    return rounded == 0 ? 0 : rounded;
}

void Solver::writeBack()
{
    std::vector<View*> ordered;
    forEachView(root_, [&](View& view) {
        if (isVariable(view) && &view != &root_)
            ordered.push_back(&view);
    });
    for (View* view : ordered) {
        int base = variables_.at(view);
        View& parent = *view->superview();
        double px = evaluate(position(parent, 0));
        double py = evaluate(position(parent, 1));
        double x = tidy(value(base) - px + parent.bounds().minX());
        double y = tidy(value(base + 1) - py + parent.bounds().minY());
        double w = std::max(0.0, tidy(value(base + 2)));
        double h = std::max(0.0, tidy(value(base + 3)));
        Rect oldBounds = view->bounds();
        Point oldCenter = view->center();
        view->setBounds({oldBounds.origin, {w, h}});
        view->setCenter({x + w / 2, y + h / 2});
        if (!(oldBounds.size == view->bounds().size) || !(oldCenter == view->center()))
            parent.setNeedsLayout();
    }
    for (const auto& [scroll, base] : contentVariables_) {
        Size size {std::max(0.0, tidy(value(base))), std::max(0.0, tidy(value(base + 1)))};
        const_cast<ScrollView*>(scroll)->setContentSize(size);
    }
}

bool anyNeedsLayout(View& view)
{
    if (view.needsLayout())
        return true;
    for (const auto& child : view.subviews()) {
        if (anyNeedsLayout(*child))
            return true;
    }
    return false;
}

void runPendingLayouts(View& view, bool& ran)
{
    if (view.needsLayout()) {
        ran = true;
        view.clearNeedsLayout();
        ViewController* controller = view.owningViewController();
        if (controller)
            controller->viewWillLayoutSubviews();
        view.layoutSubviews();
        if (controller)
            controller->viewDidLayoutSubviews();
    }
    auto children = view.subviews();
    for (auto& child : children) {
        if (child->superview() == &view)
            runPendingLayouts(*child, ran);
    }
}

int nestingDepth = 0;

}

void LayoutEngine::solve(View& root)
{
    Solver solver(root, false);
    solver.collect();
    solver.run(true);
    solver.writeBack();
}

void LayoutEngine::layoutTree(View& root)
{
    if (nestingDepth > 4 || !anyNeedsLayout(root))
        return;
    auto keepAlive = root.weak_from_this().lock();
    ++nestingDepth;
    for (int pass = 0; pass < 12; ++pass) {
        solve(root);
        bool ran = false;
        runPendingLayouts(root, ran);
        if (!ran && !anyNeedsLayout(root))
            break;
    }
    --nestingDepth;
}

Size LayoutEngine::fittingSize(View& view, Size target, LayoutPriority horizontal, LayoutPriority vertical)
{
    Solver solver(view, true);
    solver.collect();
    solver.addFittingTargets(target, horizontal, vertical);
    solver.run(false);
    return solver.rootSize();
}

}
