// The script side of JScript's regular expression rules, run once per engine before the
// host objects (prelude.cpp), whose guards then give its methods JScript's error for a
// `this` of another kind.

#include <QString>

namespace quillora::js {

const QString &regexpRulesScript()
{
    static const QString text = QStringLiteral(R"JS(
// JScript's rules for regular expressions on top of the engine's ES ones. Called with the
// global object.
//
// - Every match an operation finds (exec, test, match, replace, search, split) sets the
//   expression's lastIndex to the match's end, with or without the g flag; a search that
//   finds nothing sets it to 0. Only exec and test of a g (or y) expression start at lastIndex,
//   and only a number or a text there counts (anything else is 0, never converted).
// - The last match of any of them is kept in RegExp's static properties (leftContext,
//   rightContext, lastMatch, input, $1 to $9, ...); an operation that finds nothing keeps
//   the ones before. A replace function still sees the ones from before the replace.
// - A match result has input, index and lastIndex (those of the last match for
//   match with the g flag), and a group that took no part reads "".
// - A replace by a plain text takes the replacement as written ("$&" stays "$&").
// - split by an undefined separator splits at the text "undefined" (with no separator
//   at all the text stays whole). split by an expression keeps the groups and the empty
//   fields, as the standard has it (JScript leaves them out, which would silently drop
//   the empty lines of a text split into its lines); a text with no match at all is the
//   one field.
// - source is the text of the expression as written (no "(?:)" for an empty one, "/"
//   not escaped) and toString writes the flags as i, g, m.
(function (global) {
    "use strict";
    var RegExp = global.RegExp, String = global.String, Object = global.Object,
        Reflect = global.Reflect;
    var proto = RegExp.prototype;
    var nativeExec = proto.exec, nativeSplit = String.prototype.split;
    var nativeReplace = String.prototype.replace;
    var nativeSource = Object.getOwnPropertyDescriptor(proto, "source").get;

    // The engine writes every "/" of an expression's text as "\/", even one the text
    // escaped already ("\/" reads back "\\/", which no longer matches a slash).
    function sourceOf(re) {
        var s = Reflect.apply(nativeSource, re, []);
        if (s === "(?:)") return "";
        return s.indexOf("/") < 0 ? s : Reflect.apply(nativeReplace, s, [/\\\//g, "/"]);
    }

    // A g copy of each expression, kept on it under a symbol, searches from any position
    // with the engine's own exec as a member of its own; compile drops it. (The engine's
    // WeakMap crashes when used this often.)
    var COPY = global.Symbol("search copy");
    function searcher(re) {
        var copy = re[COPY];
        if (copy === undefined) {
            copy = new RegExp(sourceOf(re), "g" + (re.ignoreCase ? "i" : "") +
                                                (re.multiline ? "m" : "") +
                                                (re.unicode ? "u" : "") + (re.dotAll ? "s" : "") +
                                                (re.sticky ? "y" : ""));
            Object.defineProperty(copy, "exec", { value: nativeExec });
            Object.defineProperty(re, COPY, { value: copy, writable: true, configurable: true });
        }
        return copy;
    }
    function searchFrom(re, text, start) {
        var copy = re[COPY] || searcher(re);
        copy.lastIndex = start;
        var m = copy.exec(text); // (no tail call: the engine copies the frame for one)
        return m;
    }

    var lastMatch = null, lastInput = "";
    function remember(m, text) {
        lastMatch = m;
        lastInput = text;
    }
    function endOf(m) { return m.index + m[0].length; }
    // a match as JScript hands it out
    function completed(m, text) {
        for (var i = 1; i < m.length; i++)
            if (m[i] === undefined) m[i] = "";
        m.lastIndex = endOf(m);
        return m;
    }

    // (The paths below call as few script functions as they can: each call costs the
    // engine more than the match itself.)
    var floor = global.Math.floor;
    function execRule(re, text) {
        var start = 0;
        if (re.global || re.sticky) {
            var li = re.lastIndex;
            if (typeof li === "number" || typeof li === "string") {
                start = +li;
                start = start !== start ? 0 : start < 0 ? -floor(-start) : floor(start);
            }
        }
        var m = null;
        if (start >= 0 && start <= text.length) {
            var copy = re[COPY] || searcher(re);
            copy.lastIndex = start;
            m = copy.exec(text);
        }
        if (m === null) {
            re.lastIndex = 0;
            return null;
        }
        re.lastIndex = m.index + m[0].length;
        lastMatch = m;
        lastInput = text;
        return m;
    }
    // (length as JScript gives it: replace 1, search 0)
    function define(target, name, value, length) {
        Object.defineProperty(value, "name", { value: name });
        if (length !== undefined) Object.defineProperty(value, "length", { value: length });
        Object.defineProperty(target, name, { value: value, writable: true, configurable: true });
    }

    define(proto, "exec", function exec(text) {
        var m = execRule(this, String(text));
        if (m !== null) {
            for (var i = 1; i < m.length; i++)
                if (m[i] === undefined) m[i] = "";
            m.lastIndex = this.lastIndex;
        }
        return m;
    });
    define(proto, "test", function test(text) {
        return execRule(this, String(text)) !== null;
    });
    var nativeCompile = proto.compile;
    if (typeof nativeCompile === "function")
        define(proto, "compile", function compile(pattern, flags) {
            if (this[COPY] !== undefined) this[COPY] = undefined;
            return Reflect.apply(nativeCompile, this, arguments);
        });
    Object.defineProperty(proto, "lastIndex", { value: 0, writable: true, configurable: true });
    Object.defineProperty(proto, "source", {
        get: function () { return this === proto ? "" : sourceOf(this); },
        configurable: true
    });
    define(proto, "toString", function toString() {
        return "/" + sourceOf(this) + "/" + (this.ignoreCase ? "i" : "") +
               (this.global ? "g" : "") + (this.multiline ? "m" : "") +
               (this.unicode ? "u" : "") + (this.dotAll ? "s" : "") + (this.sticky ? "y" : "");
    });

    function asRegExp(pattern) {
        return pattern instanceof RegExp ? pattern : new RegExp(String(pattern));
    }
    // every match from the start, an empty one moving the search on by one
    function allMatches(re, text) {
        var list = [], copy = re[COPY] || searcher(re), m;
        copy.lastIndex = 0;
        while ((m = copy.exec(text)) !== null) {
            list.push(m);
            if (m[0] === "") copy.lastIndex = m.index + 1;
        }
        return list;
    }
    // lastIndex and the statics after an operation over a list of matches
    function settle(re, list, text) {
        if (list.length === 0) {
            re.lastIndex = 0;
            return;
        }
        var last = list[list.length - 1];
        re.lastIndex = endOf(last);
        remember(last, text);
    }

    define(String.prototype, "match", function match(pattern) {
        var text = String(this);
        if (arguments.length === 0) return null;
        var re = asRegExp(pattern);
        if (!re.global) {
            var m = searchFrom(re, text, 0);
            settle(re, m === null ? [] : [m], text);
            return m === null ? null : completed(m, text);
        }
        var list = allMatches(re, text);
        settle(re, list, text);
        if (list.length === 0) return null;
        var out = [];
        for (var i = 0; i < list.length; i++) out.push(list[i][0]);
        var last = list[list.length - 1];
        out.index = last.index;
        out.input = text;
        out.lastIndex = endOf(last);
        return out;
    });

    // "$$", "$&", "$`", "$'", "$n" and "$nn" of a replacement text
    function expand(replacement, m, text) {
        if (replacement.indexOf("$") < 0) return replacement;
        var out = "", groups = m.length - 1;
        for (var i = 0; i < replacement.length; i++) {
            var c = replacement[i], next = replacement[i + 1];
            if (c !== "$" || next === undefined) {
                out += c;
                continue;
            }
            if (next === "$") out += "$";
            else if (next === "&") out += m[0];
            else if (next === "`") out += text.slice(0, m.index);
            else if (next === "'") out += text.slice(endOf(m));
            else if (next >= "0" && next <= "9") {
                var two = +(next + replacement[i + 2]), one = +next;
                if (replacement[i + 2] >= "0" && replacement[i + 2] <= "9" && two >= 1 &&
                    two <= groups) {
                    out += m[two] === undefined ? "" : m[two];
                    i += 2;
                    continue;
                }
                if (one < 1 || one > groups) {
                    out += c;
                    continue;
                }
                out += m[one] === undefined ? "" : m[one];
            } else {
                out += c;
                continue;
            }
            i++;
        }
        return out;
    }
    define(String.prototype, "replace", function replace(pattern, replacement) {
        var text = String(this), call = typeof replacement === "function";
        if (!(pattern instanceof RegExp)) {
            var what = String(pattern), at = text.indexOf(what);
            if (at < 0) return text;
            var by = call ? replacement(what, at, text) : replacement;
            return text.slice(0, at) + String(by) + text.slice(at + what.length);
        }
        var copy = pattern[COPY] || searcher(pattern), global = pattern.global;
        var out = "", from = 0, last = null, m, i;
        if (call) {
            // the matches first: the function may use the same expression
            var list = global ? allMatches(pattern, text) : [];
            if (!global && (copy.lastIndex = 0, m = copy.exec(text)) !== null) list.push(m);
            for (i = 0; i < list.length; i++) {
                m = list[i];
                var argsOf = completed(m, text).slice();
                argsOf.push(m.index, text);
                out += text.slice(from, m.index) +
                       String(Reflect.apply(replacement, undefined, argsOf));
                from = m.index + m[0].length;
                last = m;
            }
        } else {
            var words = String(replacement), plain = words.indexOf("$") < 0;
            copy.lastIndex = 0;
            while ((m = copy.exec(text)) !== null) {
                out += text.slice(from, m.index) + (plain ? words : expand(words, m, text));
                from = m.index + m[0].length;
                last = m;
                if (!global) break;
                if (m[0] === "") copy.lastIndex = m.index + 1;
            }
        }
        if (last === null) {
            pattern.lastIndex = 0;
            return text;
        }
        pattern.lastIndex = from;
        lastMatch = last;
        lastInput = text;
        return out + text.slice(from);
    }, 1);

    define(String.prototype, "search", function search(pattern) {
        var text = String(this);
        if (arguments.length === 0) return null;
        var re = asRegExp(pattern), m = searchFrom(re, text, 0);
        settle(re, m === null ? [] : [m], text);
        return m === null ? -1 : m.index;
    }, 0);

    define(String.prototype, "split", function split(separator, limit) {
        if (!(separator instanceof RegExp)) {
            // an undefined given as the separator is the text "undefined"; none at all
            // leaves the text whole
            if (arguments.length > 0 && separator === undefined)
                return Reflect.apply(nativeSplit, this, ["undefined", limit]);
            return Reflect.apply(nativeSplit, this, arguments);
        }
        var text = String(this), max = limit === undefined ? 4294967295 : limit >>> 0;
        var out = [], found = [], p = 0, q = 0, m;
        if (max === 0) return out;
        if (text.length === 0) {
            m = searchFrom(separator, text, 0);
            settle(separator, m === null ? [] : [m], text);
            return m === null ? [""] : out;
        }
        fields: while (q < text.length && (m = searchFrom(separator, text, q)) !== null &&
                       m.index < text.length) {
            var end = endOf(m);
            if (end === p) { // an empty match where the last field ended
                q = m.index + 1;
                continue;
            }
            found.push(m);
            out.push(text.slice(p, m.index));
            if (out.length >= max) break;
            for (var i = 1; i < m.length; i++) {
                out.push(m[i]);
                if (out.length >= max) break fields;
            }
            p = q = end;
        }
        settle(separator, found, text);
        if (out.length < max)
            out.push(text.slice(p));
        return out;
    });

    function staticProperty(name, get) {
        try {
            Object.defineProperty(RegExp, name,
                                  { get: get, set: function (v) {}, configurable: true });
        } catch (e) {
        }
    }
    staticProperty("leftContext", function () {
        return lastMatch ? lastInput.slice(0, lastMatch.index) : "";
    });
    staticProperty("rightContext", function () {
        return lastMatch ? lastInput.slice(endOf(lastMatch)) : "";
    });
    staticProperty("lastMatch", function () { return lastMatch ? lastMatch[0] : ""; });
    staticProperty("input", function () { return lastInput; });
    staticProperty("index", function () { return lastMatch ? lastMatch.index : -1; });
    staticProperty("lastIndex", function () { return lastMatch ? endOf(lastMatch) : -1; });
    staticProperty("lastParen", function () {
        var v = lastMatch && lastMatch.length > 1 ? lastMatch[lastMatch.length - 1] : "";
        return v === undefined ? "" : v;
    });
    [1, 2, 3, 4, 5, 6, 7, 8, 9].forEach(function (i) {
        staticProperty("$" + i, function () {
            var v = lastMatch ? lastMatch[i] : "";
            return v === undefined ? "" : v;
        });
    });
})
)JS");
    return text;
}

} // namespace quillora::js
