"""A screen reader's view of a running kelvo, through the accessibility bus.

Started by accessibility_bus_test.sh with kelvo's process id, the table-set
file kelvo has open (the Titanic example) and kelvo-cli. With nothing but the
accessibility interfaces (names, roles, actions, tables, text and editable
text) it
  - chooses the model Class by Sex, Age and Survived in Select model and
    presses Compute;
  - reads the prediction check's grid, "Predictions for the dependent
    variable": every lowest and highest prediction is kelvo-cli's, and
    those below 0 % or above 100 % are described "Out of range";
  - finds the results browser's grid by its role and its name "Coefficients
    for variable Sex", and on every page reads each coefficient, its
    headings and its weight; kelvo-cli's estimate of the same model is the
    reference: the texts are its coefficients in percent, a coefficient far
    from 0 in standard errors (above 2.5) is bold (weight 700) and says
    "Significant", one near 0 (below 1.5) and every average is not;
  - hears the table editor's first cell (180) gain the focus when the editor
    opens (the focus events name the cell the grid's current cell is);
  - sets the first cell of "Table 1: Sex by Class" in the table editor to
    4321 through the cell's editable text, reads the new row total, finds
    that a totals cell takes no text, sees the number reach the recovery
    journal, and ends the program with OK and File > Exit, which writes the
    modified table set: the file then holds 4321.
Exits 1 with a message at the first thing that is not so.
"""

import json
import os
import pathlib
import subprocess
import sys
import tempfile
import time

import pyatspi

KELVO_PID = int(sys.argv[1])
TABLE_SET = pathlib.Path(sys.argv[2])
CLI = sys.argv[3]
PREDICTORS = ["Sex", "Age", "Survived"]

# Method calls that open a modal window return only when it closes; the
# client does not wait for those replies. The timeouts hold from the start
# (-1: no grace time for a newly started application).
NORMAL_TIMEOUT_MS = 5000
MODAL_TIMEOUT_MS = 300


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def waited(what, find, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    raise Failure("not found within %d s: %s" % (seconds, what))


def application():
    def find():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == KELVO_PID:
                return app
        return None

    return waited("kelvo on the accessibility bus", find, 30)


def descendant(root, matches, depth=0):
    if matches(root):
        return root
    if depth > 12:
        return None
    for child in root:
        if child is not None:
            found = descendant(child, matches, depth + 1)
            if found is not None:
                return found
    return None


def shown(app, title):
    """The window of that title on the screen; a closed one stays on the bus."""
    for top in app:
        if top is not None and top.name.strip() == title and top.getState().contains(pyatspi.STATE_SHOWING):
            return top
    return None


def window(app, title):
    def find():
        return shown(app, title)

    return waited('window "%s"' % title, find)


def press(accessible, opens_modal=False):
    """Runs the first action (Press) of a button or menu item."""
    if not opens_modal:
        accessible.queryAction().doAction(0)
        return
    pyatspi.setTimeout(MODAL_TIMEOUT_MS, -1)
    try:
        accessible.queryAction().doAction(0)
    except Exception:  # the reply comes when the modal window closes
        pass
    finally:
        pyatspi.setTimeout(NORMAL_TIMEOUT_MS, -1)


def button(win, name):
    found = descendant(win, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name == name)
    check(found is not None, 'no button "%s" in "%s"' % (name, win.name))
    return found


def menu_item(app, menu, item):
    main = waited("the main window", lambda: next((w for w in app if w is not None and w.name.startswith("KELVO - ")), None))
    bar = descendant(main, lambda a: a.getRole() == pyatspi.ROLE_MENU_BAR)
    check(bar is not None, "the main window has no menu bar")
    top = next((m for m in bar if m.name == menu), None)
    check(top is not None, 'no menu "%s"' % menu)
    entry = next((e for e in top[0] if e.name == item), None)
    check(entry is not None, 'no item "%s" in menu "%s"' % (item, menu))
    return entry


def grid(win, name):
    """The table named NAME in WIN, found by its role and name."""
    return waited(
        'a table named "%s" in "%s"' % (name, win.name.strip()),
        lambda: descendant(win, lambda a: a.getRole() == pyatspi.ROLE_TABLE and a.name == name),
        5,
    )


def weight(cell):
    return cell.queryText().getAttributeValue(0, "weight") or ""


def reference_estimate():
    with tempfile.TemporaryDirectory() as folder:
        out = subprocess.run(
            [CLI, "estimate", str(TABLE_SET), "--dependent", "Class", "--predictors", ",".join(PREDICTORS), "--json"],
            capture_output=True, text=True, check=True, cwd=folder,
        ).stdout
    return json.loads(out)


def first_cell(path):
    """The first count of the table Sex*Class in a table-set file or journal."""
    lines = path.read_text().splitlines()
    return int(lines[lines.index("Sex*Class") + 1].split()[0])


def list_of(win, name):
    found = descendant(win, lambda a: a.getRole() == pyatspi.ROLE_LIST and a.name == name)
    check(found is not None, 'no list "%s" in "%s"' % (name, win.name))
    return found


def closed(app, title):
    waited('the end of window "%s"' % title, lambda: True if shown(app, title) is None else None)


def choose_model(app):
    press(menu_item(app, "Model", "Specify model"), opens_modal=True)
    select = window(app, "Select model")
    dependent = list_of(select, "Dependent")
    predictors = list_of(select, "Predictors")
    # Class, the first variable, goes to Dependent, then each variable that
    # heads the list goes to Predictors; a press ends 100 ms after it is
    # made, so each waits for the one before to have moved its variable.
    press(button(select, "Move between Dependent and Variables"))
    waited("Class in Dependent", lambda: True if dependent.childCount == 1 and dependent[0].name == "Class" else None, 5)
    for count, predictor in enumerate(PREDICTORS, 1):
        press(button(select, "Move between Variables and Predictors"))
        waited(predictor + " in Predictors", lambda: True if predictors.childCount == count else None, 5)
    check([item.name for item in predictors] == PREDICTORS, "the predictors are %s" % [i.name for i in predictors])
    press(button(select, "Compute"))


def read_prediction_check(app, reference):
    """Each category's lowest and highest prediction, out of range below 0 %
    or above 100 %, as kelvo-cli's estimate has them."""
    check_window = window(app, "Check results")
    table = grid(check_window, "Predictions for the dependent variable").queryTable()
    out = 0
    for r, category in enumerate(reference["dependent_categories"]):
        check(table.getRowHeader(r).name == category, "prediction row %d is headed %r" % (r, table.getRowHeader(r).name))
        for c, key in enumerate(["minimum_prediction", "maximum_prediction"]):
            cell = table.getAccessibleAt(r, c)
            value = reference[key][r]
            where = "%s of %s" % (key.replace("_", " "), category)
            check(abs(float(cell.name) - value) <= 0.05 + 1e-9, "the %s reads %r, not %.2f" % (where, cell.name, value))
            outside = value < 0 or value > 100
            check(cell.description.startswith("Out of range") == outside,
                  "the %s (%.1f) is described as %r" % (where, value, cell.description))
            out += outside
    check(out > 0, "no prediction out of range was compared")
    press(button(check_window, "OK"))
    print("prediction check: %d predictions out of range as the estimate says" % out)


def read_results(app, reference):
    results = window(app, "Results")
    categories = reference["dependent_categories"]
    parameters = reference["parameters"]
    bold = plain = 0
    for page, predictor in enumerate(PREDICTORS):
        if page > 0:
            press(button(results, "Next"))
        table = grid(results, "Coefficients for variable " + predictor).queryTable()
        columns = [0] + [i for i, p in enumerate(parameters) if p["variable"] == predictor]
        check(table.nRows == len(categories) and table.nColumns == len(columns),
              "%s: %d x %d cells, not %d x %d" % (predictor, table.nRows, table.nColumns, len(categories), len(columns)))
        for c, parameter in enumerate(columns):
            check(table.getColumnHeader(c).name == parameters[parameter]["category"],
                  "%s: column %d is headed %r" % (predictor, c, table.getColumnHeader(c).name))
        for r, category in enumerate(categories):
            check(table.getRowHeader(r).name == category, "%s: row %d is headed %r" % (predictor, r, table.getRowHeader(r).name))
            for c, parameter in enumerate(columns):
                cell = table.getAccessibleAt(r, c)
                value = 100 * reference["coefficients"][parameter][r]
                where = "%s, %s, %s" % (predictor, category, parameters[parameter]["category"])
                check(abs(float(cell.name) - value) <= 0.05 + 1e-9, "%s reads %r, not %.2f" % (where, cell.name, value))
                z = abs(value / reference["standard_errors"][parameter][r])
                if c > 0 and z > 2.5:
                    check(weight(cell) == "700", "%s (%.1f standard errors) has weight %r, not 700" % (where, z, weight(cell)))
                    check(cell.description == "Significant", "%s is described as %r" % (where, cell.description))
                    bold += 1
                elif c == 0 or z < 1.5:
                    check(weight(cell) == "400", "%s has weight %r, not 400" % (where, weight(cell)))
                    check(cell.description == "", "%s is described as %r" % (where, cell.description))
                    plain += 1
    check(bold > 0 and plain > 0, "no bold or no plain coefficient was compared (%d, %d)" % (bold, plain))
    press(button(results, "OK"))
    closed(app, "Results")
    print("results browser: %d bold and %d plain coefficients as the estimate says" % (bold, plain))


def focus_events(act, seconds=3):
    """The accessibles that gain the focus while ACT runs and shortly after."""
    from gi.repository import GLib

    gained = []

    def listener(event):
        if event.detail1 == 1:
            gained.append(event.source)

    pyatspi.Registry.registerEventListener(listener, "object:state-changed:focused")
    try:
        act()
        context = GLib.MainContext.default()
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            context.iteration(False)
            time.sleep(0.01)
    finally:
        pyatspi.Registry.deregisterEventListener(listener, "object:state-changed:focused")
    return gained


def edit_table(app):
    # The editor opens on its first cell, which a screen reader announces.
    gained = focus_events(lambda: press(menu_item(app, "Edit", "Edit tables"), opens_modal=True))
    check(any(a.getRole() == pyatspi.ROLE_TABLE_CELL and a.name == "180" for a in gained),
          "the first cell (180) did not gain the focus: %s" % [(a.getRoleName(), a.name) for a in gained])
    editor = window(app, "Edit table")
    table = grid(editor, "Table 1: Sex by Class").queryTable()
    cell = table.getAccessibleAt(0, 0)  # Male, 1st
    total = table.getAccessibleAt(0, table.nColumns - 1)
    check(cell.name == "180", "Male, 1st reads %r, not 180" % cell.name)
    check(cell.getState().contains(pyatspi.STATE_EDITABLE), "Male, 1st is not editable")
    before = int(total.name)
    cell.queryEditableText().setTextContents("4321")
    check(cell.name == "4321", "Male, 1st reads %r after it was set to 4321" % cell.name)
    check(int(total.name) == before - 180 + 4321, "the row total reads %s, not %d" % (total.name, before - 180 + 4321))
    try:
        total.queryEditableText()
        raise Failure("the row total takes a text")
    except NotImplementedError:
        pass

    journals = pathlib.Path(os.environ["XDG_STATE_HOME"]) / "kelvo" / "recovery"
    def journal_holds_it():
        for journal in journals.glob("*.journal"):
            try:
                if first_cell(journal) == 4321:
                    return journal
            except (OSError, ValueError, IndexError):  # being written
                pass
        return None

    waited("4321 in the recovery journal", journal_holds_it, 10)
    press(button(editor, "OK"))
    closed(app, "Edit table")
    press(menu_item(app, "File", "Exit"), opens_modal=True)


def main():
    pyatspi.setTimeout(NORMAL_TIMEOUT_MS, -1)
    reference = reference_estimate()
    app = application()
    choose_model(app)
    read_prediction_check(app, reference)
    read_results(app, reference)
    edit_table(app)

    def ended():
        # Until the test script collects it, an ended kelvo is a zombie.
        try:
            state = pathlib.Path("/proc/%d/stat" % KELVO_PID).read_text().rsplit(")", 1)[1].split()[0]
        except FileNotFoundError:
            return True
        return True if state in ("Z", "X") else None

    waited("the end of kelvo after File > Exit", ended, 15)
    check(first_cell(TABLE_SET) == 4321, "the file holds %d in Male, 1st after Exit, not 4321" % first_cell(TABLE_SET))
    print("table editor: 4321 set through the accessibility bus reached the journal and the file")


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print("FAIL:", failure, file=sys.stderr)
        sys.exit(1)
