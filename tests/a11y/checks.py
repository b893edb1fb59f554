#!/usr/bin/python3
"""Brellow as a screen reader reads it, over AT-SPI from a separate process.

Started by run-a11y.sh inside a D-Bus session on a private X display:
    checks.py BRELLOW BRELLOW-CLI WORKDIR
Starts the accessibility bus and its registry, opens a sample mortgage in Brellow and
runs every check in CHECKS, each against the same running program. A check is a
function of the Session; it asserts with `expect` and leaves the program as it found it
(dialogs closed, the schedule focused). Add one with @check. Every wait is bounded.
"""

import os
import signal
import subprocess
import sys
import time
import traceback

CHECKS = []


def check(function):
    CHECKS.append(function)
    return function


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def expect_equal(expected, actual, what):
    if expected != actual:
        raise Failure(f"{what}: expected {expected!r}, got {actual!r}")


class Session:
    """The accessibility stack, the program, and what it has announced."""

    def __init__(self, brellow, cli, work):
        self.brellow, self.cli, self.work = brellow, cli, work
        self.processes = []
        self.events = []

    # -- the stack --------------------------------------------------------------

    def spawn(self, *command, **options):
        process = subprocess.Popen(command, start_new_session=True, **options)
        self.processes.append(process)
        return process

    def start(self):
        self.spawn("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
        # Asked without starting a second launcher through the session bus.
        until(lambda: "true" in subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
            capture_output=True, text=True, timeout=10).stdout,
            10, "the accessibility bus did not start")
        self.spawn("/usr/libexec/at-spi2-registryd")
        global Atspi, GLib, pyatspi
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, GLib  # noqa: F401 (after the bus is there)
        import pyatspi  # noqa: F401
        Atspi.set_timeout(5000, 10000)  # no call may hang the run
        self.listener = Atspi.EventListener.new(lambda event: self.events.append(
            (event.type, event.source, event.detail1)))
        for kind in ("object:state-changed:focused", "object:state-changed:selected",
                     "object:selection-changed", "object:property-change:accessible-name",
                     "object:property-change:accessible-description",
                     "object:active-descendant-changed", "focus:"):
            self.listener.register(kind)

        loan = os.path.join(self.work, "mortgage.brw")
        subprocess.run([self.cli, "--amount", "100000", "--rate", "6", "--periods", "360",
                        "--first-payment", "01/01/2003", "--format", "brw", "--output", loan],
                       check=True, timeout=30)
        self.program = self.spawn(self.brellow, loan)
        self.app = until(self.find_app, 30, "Brellow did not appear on the accessibility bus")
        self.frame = until(lambda: find(self.app, pyatspi.ROLE_FRAME), 10, "no main window")
        self.window = until(lambda: self.window_id("mortgage"), 10, "no main window on X")

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
        for process in reversed(self.processes):
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)

    def find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == self.program.pid:
                return app
        return None

    # -- the keyboard and the events ---------------------------------------------

    def window_id(self, title):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                str(self.program.pid), "--name", title],
                               capture_output=True, text=True, timeout=10).stdout.split()
        return found[-1] if found else None

    def activate(self, window=None):
        """Gives the window titled `window` (a regular expression), or the main one, the
        keyboard, as a window manager would; returns its id."""
        target = self.window if window is None else until(
            lambda: self.window_id(window), 10, f"no window {window!r}")
        subprocess.run(["xdotool", "windowfocus", "--sync", target], check=True, timeout=10)
        return target

    def keys(self, *keys, window=None):
        """Presses keys (xdotool names) in the window titled `window`, or the main one."""
        for key in keys:
            self.activate(window)
            subprocess.run(["xdotool", "key", key], check=True, timeout=10)
            self.settle()

    def settle(self, quiet=0.3, limit=5):
        """Lets the events of the last key arrive: until none came for `quiet` seconds."""
        deadline = time.monotonic() + limit
        seen, last = len(self.events), time.monotonic()
        while time.monotonic() < deadline:
            pump(0.05)
            if len(self.events) != seen:
                seen, last = len(self.events), time.monotonic()
            elif time.monotonic() - last >= quiet:
                return

    def focused(self):
        """What was focused last, as the events announced it."""
        for kind, source, detail in reversed(self.events):
            if kind == "object:state-changed:focused" and detail == 1:
                return source
        return None


def pump(seconds):
    """Lets events arrive for `seconds`."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not context.iteration(False):
            time.sleep(0.01)


def until(probe, seconds, message):
    deadline = time.monotonic() + seconds
    while True:
        try:
            value = probe()
        except Exception:  # the object may still be coming up
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(message)
        if "GLib" in globals():
            pump(0.1)
        else:
            time.sleep(0.1)


def find(root, role, name=None, depth=12):
    """The first descendant of `root` in `role` (and named `name`), breadth first."""
    level = [root]
    for _ in range(depth):
        following = []
        for node in level:
            for index in range(node.childCount if node.childCount < 200 else 200):
                child = node.getChildAtIndex(index)
                if child is None:
                    continue
                if child.getRole() == role and (name is None or child.name == name):
                    return child
                following.append(child)
        level = following
    return None


def descendants(root, depth=8):
    """Every descendant of `root` down to `depth`, parents before children."""
    found = []
    level = [root]
    for _ in range(depth):
        level = [child for node in level for child in node if child is not None]
        found.extend(level)
    return found


def states(node):
    return set(node.getState().getStates())


# -- the schedule --------------------------------------------------------------------


def table(session):
    return until(lambda: find(session.frame, pyatspi.ROLE_TABLE), 10, "no table")


def announced(cell):
    """What a reader says of a cell of the table: its row, its column head and its text,
    found through the table as Qt 6.4 offers it (no TableCell interface)."""
    grid = cell.parent.queryTable()
    index = cell.getIndexInParent()
    text = cell.queryText().getText(0, -1)
    expect_equal(cell.name, text, "the cell's text interface")
    head = grid.getColumnHeader(grid.getColumnAtIndex(index)).name
    return grid.getRowAtIndex(index), f"{head}, {cell.name}"


def focus_by_tab(session, accept, presses=8):
    """Presses Tab until the focus is on something `accept`s; returns it."""
    for _ in range(presses):
        session.keys("Tab")
        focused = session.focused()
        if focused is not None and accept(focused):
            return focused
    raise Failure("Tab never reached it")


def is_cell(node):
    return node.getRole() == pyatspi.ROLE_TABLE_CELL


def is_tab(node):
    return node.getRole() == pyatspi.ROLE_PAGE_TAB


@check
def the_table_is_named_and_focusable(session):
    grid = table(session)
    expect_equal("Payments", grid.name, "the table's name with All selected")
    expect_equal("360 payments and the running totals", grid.description,
                 "the table's description")
    expect(pyatspi.STATE_FOCUSABLE in states(grid), "the table is not focusable")
    expect_equal(361, grid.queryTable().nRows, "rows of All")


@check
def tab_reaches_the_year_tabs_and_the_table(session):
    tab = focus_by_tab(session, is_tab)
    expect_equal("Years", tab.parent.name, "the tab list's name")
    cell = focus_by_tab(session, is_cell)
    expect_equal("Payments", cell.parent.name, "the focused cell's table")


@check
def arrow_keys_move_the_current_cell(session):
    focus_by_tab(session, is_cell)
    session.keys("Home", *["Left"] * 6)
    expect_equal((0, "Period, 1"), announced(session.focused()), "Home, then Left")
    session.keys("Right", "Right", "Right")
    expect_equal((0, "Interest, $500.00"), announced(session.focused()), "three Right")
    session.keys("Down")
    expect_equal((1, "Interest, $499.50"), announced(session.focused()), "Down")
    session.keys("Next")
    row, _ = announced(session.focused())
    expect(row > 1, f"Page Down stayed on row {row}")
    session.keys("End")
    expect_equal((360, "Interest, $115,838.53"), announced(session.focused()), "End")
    session.keys("Up", "Home")
    expect_equal((0, "Interest, $500.00"), announced(session.focused()), "Home")


@check
def the_year_tabs_are_named_and_tell_the_selection(session):
    tabs = until(lambda: find(session.frame, pyatspi.ROLE_PAGE_TAB_LIST), 10, "no tab list")
    expect_equal("Years", tabs.name, "the tab list's name")

    def selected():
        return [tab.name for tab in tabs if pyatspi.STATE_SELECTED in states(tab)]

    expect_equal(["All"], selected(), "the selected tab at first")
    focus_by_tab(session, is_tab)
    session.events.clear()
    session.keys("Right")
    expect_equal(["2003"], selected(), "after Right")
    expect_equal("2003", session.focused().name, "the focused tab")
    grid = table(session)
    renamed = [source.name for kind, source, _ in session.events
               if kind == "object:property-change:accessible-name"
               and source.getRole() == pyatspi.ROLE_TABLE]
    expect_equal(["Payments of 2003"], renamed, "the table's name-change events")
    expect_equal("12 payments and the annual and running totals", grid.description,
                 "the table's description")
    expect_equal(14, grid.queryTable().nRows, "rows of 2003")
    # A reader's own "press" on a tab selects it, as a click does.
    tabs[2].queryAction().doAction(0)
    until(lambda: selected() == ["2004"], 5, f"pressing 2004 left {selected()} selected")
    session.keys("Home")
    expect_equal(["All"], selected(), "after Home")
    focus_by_tab(session, is_cell)


# -- the dialogs ---------------------------------------------------------------------

FIELD_ROLES = ("text", "combo box", "check box", "push button")
# What opens each dialog, and the names of its fields in tab order (buttons that say
# what they do themselves, such as OK, are left out).
DIALOGS = {
    "Loan Parameters": (["ctrl+l"], [
        "Amount of Loan:", "Total Periods (months):", "Annual Interest Rate: (%)",
        "First Payment Date:", "Payment Period:", "Payment Period:", "Compounding Period:",
        "Compounding Period:", "Additional Payment Per Period (Optional):", "Balloon Payment",
        "Payoff at Payment #:"]),
    "Options": (["ctrl+t"], [
        "Show amortization schedule", "Change Window Background...",
        "Change Table Background..."]),
    "Refinance Advisor": (["alt+a", "r"], [
        "Original Loan Amount", "Total Periods (years)", "Interest Rate (%)",
        "Months already paid", "Your Federal and State Tax Bracket (%)",
        "Total Periods (years)", "Interest Rate (%)", "Loan Points", "Closing Cost"]),
    "Payoff Summary": (["alt+a", "p"], ["Additional Payment Per Period:"]),
}


def open_dialog(session, title):
    keys, _ = DIALOGS[title]
    session.keys(*keys)
    return until(lambda: find(session.app, pyatspi.ROLE_DIALOG, title, depth=2), 10,
                 f"{title} did not open")


def close_dialog(session, title):
    session.keys("Escape", window=f"^{title}$")
    until(lambda: find(session.app, pyatspi.ROLE_DIALOG, title, depth=2) is None, 10,
          f"{title} did not close")


def labels_of(node):
    return [target.name for relation in node.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]


@check
def every_dialog_field_is_named_by_its_label(session):
    for title, (_, expected) in DIALOGS.items():
        dialog = open_dialog(session, title)
        try:
            named = []
            for node in descendants(dialog):
                if node.getRoleName() not in FIELD_ROLES or node.name in ("OK", "Cancel", "Help",
                                                                       "Analyze...", "Apply",
                                                                       "Close"):
                    continue
                named.append(node.name)
                in_list = node.parent.getRole() == pyatspi.ROLE_COMBO_BOX
                if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_COMBO_BOX) and not in_list:
                    # A group box labels its fields as well.
                    expect(node.name in labels_of(node),
                           f"{title}: {node.name!r} is labelled by {labels_of(node)}")
            expect_equal(sorted(expected), sorted(named), f"{title}: the fields' names")
        finally:
            close_dialog(session, title)


@check
def a_refused_field_gets_the_focus_back(session):
    open_dialog(session, "Loan Parameters")
    try:
        # An amount that is no number, then on to the next field and OK.
        session.keys("x", "Tab", window="^Loan Parameters$")
        expect_equal("Total Periods (months):", session.focused().name, "the field after Tab")
        session.keys("Return", window="^Loan Parameters$")
        until(lambda: find(session.app, pyatspi.ROLE_ALERT, depth=2), 10,
              "no message refused the amount")
        session.keys("Return", window="^Brellow$")
        session.activate("^Loan Parameters$")  # no window manager gives it back here
        until(lambda: session.focused().name == "Amount of Loan:", 5,
              f"the focus went to {session.focused().name!r}, not the amount")
    finally:
        close_dialog(session, "Loan Parameters")
    focus_by_tab(session, is_cell)


# -- the charts ---------------------------------------------------------------------


@check
def a_chart_tells_what_it_shows(session):
    title = "Individual Payment Distribution Chart"
    session.keys("alt+c", "m")
    dialog = until(lambda: find(session.app, pyatspi.ROLE_DIALOG, title, depth=2), 10,
                   "the payment chart did not open")
    try:
        chart = until(lambda: find(dialog, pyatspi.ROLE_IMAGE), 10, "the chart is no image")
        expect_equal("Monthly principal and interest", chart.name, "the chart's name")
        expect(chart.description.startswith(
            "Payment 1: $500.00 interest and $99.55 principal. Payment 360: "),
            f"the chart's description: {chart.description!r}")
    finally:
        session.keys("Escape", window=f"^{title}$")
        until(lambda: find(session.app, pyatspi.ROLE_DIALOG, title, depth=2) is None, 10,
              "the chart did not close")
    focus_by_tab(session, is_cell)


# -- the menus and the toolbar ---------------------------------------------------------


@check
def menu_and_toolbar_items_are_named_by_their_texts(session):
    """Every item of the menus and the toolbar has its plain text as its name, without the
    key, which is its key binding; only separators have no name (hidden items too)."""
    bar = until(lambda: find(session.frame, pyatspi.ROLE_MENU_BAR), 10, "no menu bar")
    toolbar = until(lambda: find(session.frame, pyatspi.ROLE_TOOL_BAR), 10, "no toolbar")
    items = descendants(bar, depth=3) + descendants(toolbar, depth=1)
    bindings = {}
    for item in items:
        if item.getRole() == pyatspi.ROLE_SEPARATOR:
            continue
        where = item.parent.name if item.parent else "?"
        expect(item.name, f"a {item.getRoleName()} without a name under {where!r}")
        expect("\t" not in item.name, f"{item.name!r} carries its key in its name")
        if item.getRole() == pyatspi.ROLE_MENU_ITEM:
            actions = item.queryAction()
            bindings[item.name] = actions.getKeyBinding(0) if actions.nActions else ""
    for name, key in (("New", "Ctrl+N"), ("Save As...", "Ctrl+Shift+S"), ("Exit", "Ctrl+Q")):
        expect(key in bindings.get(name, ""),
               f"{name!r}: key binding {bindings.get(name)!r}, not {key!r}")


def main():
    # The outer timeout's SIGTERM still stops the program and the daemons.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    brellow, cli, work = sys.argv[1:4]
    session = Session(brellow, cli, work)
    failed = []
    try:
        session.start()
        for function in CHECKS:
            name = function.__name__
            try:
                function(session)
                print(f"PASS {name}")
            except Exception as error:
                failed.append(name)
                print(f"FAIL {name}: {error}")
                if not isinstance(error, Failure):
                    traceback.print_exc()
    except Failure as error:
        print(f"a11y: {error}")
        return 1
    finally:
        session.stop()
    passed = len(CHECKS) - len(failed)
    print(f"{passed} passed, {len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
