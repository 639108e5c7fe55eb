// Script code run after the prelude (prelude.cpp): built-ins that behave as JScript's
// where a JScript script relies on it and ES5 code does not notice.

#include <QString>

namespace quillora::js {

const QString &builtinsScript()
{
    static const QString text = QStringLiteral(R"JS(
(function (global, host) {
    "use strict";
    var Object = global.Object, Array = global.Array, Reflect = global.Reflect,
        TypeError = global.TypeError, NativeError = global.Error;
    function jscriptError(Kind, code, text) {
        var e = new Kind(text);
        e.number = (0x800A0000 | code) | 0;
        return e;
    }
    // (a built-in reached through Reflect.apply with an empty list crashes the engine
    // underneath: the calls here pass at least one argument)
    // replaces a method by one with the same name and length that is no enumerable property
    function replace(proto, name, make) {
        var native = proto[name], method = make(native);
        Object.defineProperty(method, "length", { value: native.length });
        Object.defineProperty(method, "name", { value: name });
        Object.defineProperty(proto, name, { value: method, writable: true, configurable: true });
    }

    // An array's text from anything but an array: "Array object expected" (5031).
    ["toString", "toLocaleString"].forEach(function (name) {
        replace(Array.prototype, name, function (native) {
            return function () {
                if (!Array.isArray(this))
                    throw jscriptError(TypeError, 5031, "Array object expected");
                return Reflect.apply(native, this, arguments);
            };
        });
    });

    // A function's text: from anything but a function "Function expected" (5002); for a
    // function made by Function(...) its parameters and body as JScript writes them; else
    // (the engine keeps no source text) the form JScript gives a built-in.
    // (the text is kept under a symbol: the engine's WeakMap crashes here)
    var sourceKey = global.Symbol("source"), FunctionPrototype = global.Function.prototype;
    replace(FunctionPrototype, "toString", function (native) {
        return function () {
            if (typeof this !== "function") throw jscriptError(TypeError, 5002, "Function expected");
            if (Object.prototype.hasOwnProperty.call(this, sourceKey)) return this[sourceKey];
            var text = Reflect.apply(native, this, [undefined]);
            var m = /^function ?([^(]*)\(\) \{ \[native code\] \}$/.exec(text);
            if (m === null) return text;
            var name = this === FunctionPrototype ? "prototype" : m[1];
            return "\nfunction " + name + "() {\n    [native code]\n}\n";
        };
    });
    // Function(parameters..., body): the body goes through the rewrite a script's text
    // does (legacy literals, conditional compilation), and the function remembers its text.
    var NativeFunction = global.Function, slice = Array.prototype.slice;
    var JScriptFunction = function Function(body) {
        var list = Reflect.apply(slice, arguments, [0]).map(String);
        var text = list.length ? list.pop() : "";
        var f = Reflect.construct(NativeFunction, list.concat([host.engineText(text)]),
                                  new.target || JScriptFunction);
        Object.defineProperty(f, sourceKey, {
            value: "function anonymous(" + list.join(", ") + ") {\n" + text + "\n}"
        });
        return f;
    };
    JScriptFunction.prototype = FunctionPrototype;
    Object.defineProperty(FunctionPrototype, "constructor",
                          { value: JScriptFunction, writable: true, configurable: true });
    Object.setPrototypeOf(JScriptFunction, FunctionPrototype);
    global.Function = JScriptFunction;

    // An error's text: "[object Error]" for a value that is no object or has neither name
    // nor message; a missing name counts as empty. Every kind of error shares it.
    replace(NativeError.prototype, "toString", function () {
        return function () {
            if (this === null || (typeof this !== "object" && typeof this !== "function") ||
                (this.name === undefined && this.message === undefined))
                return "[object Error]";
            var name = this.name === undefined ? "" : String(this.name),
                message = this.message === undefined ? "" : String(this.message);
            return !name ? message : !message ? name : name + ": " + message;
        };
    });
    ["EvalError", "RangeError", "ReferenceError", "SyntaxError", "TypeError", "URIError"]
        .forEach(function (kind) {
            var proto = global[kind] && global[kind].prototype;
            if (proto && Object.prototype.hasOwnProperty.call(proto, "toString"))
                delete proto.toString;
        });

    // Error(number, description): JScript's error with a number; Error(text) as before.
    // Made with the engine's own Error, so the error keeps the line that made it.
    var JScriptError = function Error(number, description) {
        var target = new.target || JScriptError;
        if (arguments.length < 2 && typeof number !== "number")
            return Reflect.construct(NativeError, arguments, target);
        var e = Reflect.construct(NativeError, description === undefined ? [] : [description],
                                  target);
        e.number = +number;
        return e;
    };
    Object.defineProperty(JScriptError, "length", { value: 1 });
    JScriptError.prototype = NativeError.prototype;
    Object.defineProperty(NativeError.prototype, "constructor",
                          { value: JScriptError, writable: true, configurable: true });
    Object.setPrototypeOf(JScriptError, Object.getPrototypeOf(NativeError));
    global.Error = JScriptError;

    // The text a direct eval call runs (the rewrite turns eval(x) into eval(__evalText(x))):
    // a text JScript's grammar refuses raises JScript's compile error with its number,
    // unless the engine takes it once rewritten (a later language's syntax, conditional
    // compilation turned on by the script: compiled, never run, to ask).
    // A text the engine takes otherwise goes through the same rewrite as a script's.
    var NativeSyntaxError = global.SyntaxError;
    function evalText(text) {
        if (typeof text !== "string") return text;
        var fault = host.syntaxFault(text), rewritten = host.engineText(text);
        if (fault !== null) {
            var engineTakes = false;
            if (fault[0] !== 1018) { // a return outside a function: JScript's and ES5's error
                try {
                    new NativeFunction(rewritten);
                    engineTakes = true;
                } catch (e) {
                }
            }
            if (!engineTakes) throw jscriptError(NativeSyntaxError, fault[0], fault[1]);
        }
        return rewritten;
    }
    Object.defineProperty(global, "__evalText", { value: evalText });

    // JSON.parse: the engine underneath ignores the reviver, which is walked here as ES5
    // has it; and a text it refuses is read once more with JScript's leniency, a sign
    // apart from its number ("- 1") and a fraction without its leading zero (".5"), and
    // with an exponent past its range ("1e2147483648" is Infinity).
    var nativeParse = global.JSON.parse, keys = Object.keys;
    // The text with JScript's leniency made strict; numbers past the engine's range stand
    // as marked strings, their values in `numbers`.
    function lenientJson(text, numbers) {
        var out = "", quoted = false;
        for (var i = 0; i < text.length; i++) {
            var c = text.charAt(i);
            if (quoted) {
                if (c === "\\") {
                    out += c + text.charAt(++i);
                    continue;
                }
                quoted = c !== "\"";
            } else if (c === "\"") {
                quoted = true;
            } else if (c === "-") {
                while (/\s/.test(text.charAt(i + 1))) i++;
            } else if (/[\d.]/.test(c) && !/[\w.]/.test(text.charAt(i - 1))) {
                var number = /^\d*\.?\d*(?:[eE][+-]?(\d+))?/.exec(text.slice(i));
                if (number[1] !== undefined && number[1].length > 3) {
                    var negative = out.charAt(out.length - 1) === "-";
                    if (negative) out = out.slice(0, -1);
                    numbers.push((negative ? -1 : 1) * Number(number[0]));
                    c = "\"\\u0000" + (numbers.length - 1) + "\"";
                    i += number[0].length - 1;
                } else if (c === ".") {
                    c = "0.";
                }
            }
            out += c;
        }
        return out;
    }
    function revive(holder, key, reviver) {
        var value = holder[key];
        if (value !== null && typeof value === "object") {
            var names = Array.isArray(value) ? null : keys(value);
            var n = names ? names.length : value.length;
            for (var i = 0; i < n; i++) {
                var name = names ? names[i] : String(i);
                var v = revive(value, name, reviver);
                if (v === undefined) delete value[name];
                else value[name] = v;
            }
        }
        return Reflect.apply(reviver, holder, [key, value]);
    }
    Object.defineProperty(global.JSON, "parse", {
        value: function parse(text, reviver) {
            var value;
            try {
                value = Reflect.apply(nativeParse, global.JSON, [text]);
            } catch (e) {
                var numbers = [], lenient = lenientJson(String(text), numbers);
                if (lenient === String(text)) throw e;
                try {
                    value = Reflect.apply(nativeParse, global.JSON, [lenient]);
                } catch (e2) {
                    throw e;
                }
                if (numbers.length)
                    value = revive({ "": value }, "", function (k, v) {
                        return typeof v === "string" && v.charAt(0) === "\u0000" ? numbers[+v.slice(1)] : v;
                    });
            }
            return typeof reviver === "function" ? revive({ "": value }, "", reviver) : value;
        },
        writable: true, configurable: true
    });

    // getYear: the years 1900 to 1999 as two digits, the others in full.
    replace(global.Date.prototype, "getYear", function (native) {
        return function () {
            var year = Reflect.apply(global.Date.prototype.getFullYear, this, [undefined]);
            return year >= 1900 && year < 2000 ? year - 1900 : year;
        };
    });
})
)JS");
    return text;
}

} // namespace quillora::js
