// The script side of JScript's scope rules (scoperules.h) and of its arguments objects, run
// once per engine after the host objects (prelude.cpp).

#include <QString>

namespace quillora::js {

const QString &langRulesScript()
{
    static const QString text = QStringLiteral(R"JS(
// Called with the global object and the host's compileAt. Defines the helpers the rewritten
// text calls, out of sight of for..in over the global object.
(function (global, compileAt) {
    "use strict";
    var Object = global.Object, Symbol = global.Symbol;
    function hidden(name, value) {
        Object.defineProperty(global, name, { value: value, writable: false, configurable: false });
    }

    // A function JScript declares in the whole enclosing function is made from its own text
    // at its first call (`make` evaluates the text where the function stands) and kept.
    var hoisted = Object.create(null);
    hidden("__quilloraCompile", function (text, fileName, line) {
        return compileAt(text, fileName, line);
    });
    hidden("__quilloraHoist", function (key, make) {
        var f = hoisted[key];
        if (f === undefined) f = hoisted[key] = make();
        return f;
    });

    // f.arguments: the arguments of the running call of f (the innermost one), null when
    // f is not running. The rewrite makes the functions whose `name.arguments` a script
    // reads report their calls; assigning f.arguments does nothing.
    var CALLS = Symbol("calls");
    hidden("__quilloraArgs", Object.freeze({
        enter: function (f, list) {
            if (typeof f !== "function") return;
            var calls = f[CALLS];
            if (calls === undefined)
                Object.defineProperty(f, CALLS, { value: calls = [] });
            calls.push(list);
        },
        leave: function (f) {
            if (typeof f === "function" && f[CALLS] !== undefined) f[CALLS].pop();
        }
    }));
    Object.defineProperty(global.Function.prototype, "arguments", {
        get: function () {
            var calls = this[CALLS];
            return calls === undefined || calls.length === 0 ? null : calls[calls.length - 1];
        },
        set: function (v) {},
        configurable: true
    });

    // for (x in "text") walks no characters in JScript.
    hidden("__quilloraForIn", function (value) {
        return typeof value === "string" ? {} : value;
    });

    // An arguments object reads as a plain object: "[object Object]".
    var nativeToString = Object.prototype.toString;
    Object.defineProperty(Object.prototype, "toString", {
        value: function toString() {
            var tag = global.Reflect.apply(nativeToString, this, []);
            return tag === "[object Arguments]" ? "[object Object]" : tag;
        },
        writable: true, configurable: true
    });
})
)JS");
    return text;
}

} // namespace quillora::js
