// Views of the questionnaire and access-log reports (enq.html, log.html).
//
// The viewer writes beside every XML report, and beside tovk_define.xml, a script twin
// ("<name>.js") that hands the same text to quorvaneReport(). Pages opened from disk load
// those twins as plain scripts (browsers refuse to read sibling files from file:// pages),
// parse the text with DOMParser, set the view state on the report's root element and render
// the views below. The same views exist as XSL style sheets (enq.xsl, log.xsl) for a browser
// that opens a report over HTTP.

var quorvaneReports = {};

function quorvaneReport(name, text) {
    quorvaneReports[name] = text;
}

var TovkView = (function () {
    var kind = "enq";
    var xmlName = "";
    var sysLang = "English";
    var report = null; // the report's XML document
    var labels = null; // the msglist of the display language
    var state = { selectIdx: 0, listStart: 0, listEnd: 0, listLimit: 1000, language: "lang" };
    var model = null;

    function escapeHtml(text) {
        return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
            .replace(/"/g, "&quot;").replace(/'/g, "&#39;");
    }

    // Each CR LF (or lone LF) of a text becomes a line break.
    function brReplace(text) {
        return escapeHtml(text).replace(/\r\n|\n/g, "<br>");
    }

    function childElements(node, name) {
        var result = [];
        for (var child = node ? node.firstChild : null; child; child = child.nextSibling) {
            if (child.nodeType === 1 && (!name || child.nodeName === name))
                result.push(child);
        }
        return result;
    }

    function firstChild(node, name) {
        var list = childElements(node, name);
        return list.length ? list[0] : null;
    }

    function textOf(node, name) {
        var child = name ? firstChild(node, name) : node;
        return child ? child.textContent : "";
    }

    function displayLanguage() {
        return sysLang.indexOf("Japanese") >= 0 ? "Japanese" : "English";
    }

    function msg(label) {
        var list = labels ? childElements(labels, "msg") : [];
        for (var i = 0; i < list.length; ++i) {
            if (list[i].getAttribute("label") === label)
                return brReplace(list[i].getAttribute("value"));
        }
        return '<font color="red">--未実装--</font>';
    }

    function printTitle(label) {
        return '<h1 class="title">' + msg(label) + "</h1>";
    }

    function printExp(html) {
        return '<p class="exp">' + html + "</p>";
    }

    function topLink() {
        if (displayLanguage() === "Japanese")
            return '<div class="toplink"><a href="../index_jp.html">トップ画面へ</a></div>';
        return '<div class="toplink"><a href="../index_en.html">Top</a></div>';
    }

    function button(cls, label, action, disabled) {
        return '<input type="button" class="' + cls + '" value="' + escapeHtml(label) + '"' +
            (disabled ? " disabled" : "") + ' onclick="' + action + '">';
    }

    function percent(count, total) {
        return (total > 0 ? Math.round(count * 1000 / total) / 10 : 0).toFixed(1) + "%";
    }

    function loadScript(src, done) {
        var script = document.createElement("script");
        script.charset = "UTF-8";
        script.src = src;
        script.onload = done;
        script.onerror = done;
        document.head.appendChild(script);
    }

    function parse(name) {
        var text = quorvaneReports[name];
        if (text === undefined)
            return null;
        var doc = new DOMParser().parseFromString(text, "text/xml");
        if (doc.getElementsByTagName("parsererror").length)
            return null;
        return doc;
    }

    // The report's data in plain arrays, read once.
    function buildEnqModel(table) {
        var headers = childElements(firstChild(table, "table_header"), "enq").map(function (h) {
            return {
                lang: h.getAttribute("lang"),
                no: h.getAttribute("no"),
                type: textOf(h, "type"),
                query: textOf(h, "query"),
                answers: childElements(h, "ans").map(function (a) {
                    return { no: a.getAttribute("no"), text: a.textContent };
                })
            };
        });
        var records = childElements(table, "table_data").map(function (r) {
            var enqs = {};
            childElements(r, "enq").forEach(function (e) {
                var chosen = [];
                childElements(e, "ans").forEach(function (a) {
                    if (a.getAttribute("value") === "1")
                        chosen.push(a.getAttribute("no"));
                });
                enqs[e.getAttribute("no")] = { value: e.getAttribute("value"), chosen: chosen };
            });
            return {
                no: r.getAttribute("no"), date: textOf(r, "date"), time: textOf(r, "time"),
                lang: textOf(r, "lang"), enqs: enqs
            };
        });
        var langs = [];
        headers.forEach(function (h) {
            if (langs.indexOf(h.lang) < 0)
                langs.push(h.lang);
        });
        return { headers: headers, records: records, langs: langs };
    }

    function buildLogModel(table) {
        var infos = function (node) {
            var result = {};
            childElements(node, "info").forEach(function (i) {
                result[i.getAttribute("lang")] = i.textContent;
            });
            return result;
        };
        var works = childElements(table, "no_list").map(function (w) {
            return { work: textOf(w, "sakuhinno"), guide: textOf(w, "guideno"), infos: infos(w) };
        });
        var langs = [];
        var records = childElements(table, "table_data").map(function (r) {
            childElements(r, "info").forEach(function (i) {
                if (langs.indexOf(i.getAttribute("lang")) < 0)
                    langs.push(i.getAttribute("lang"));
            });
            return {
                no: r.getAttribute("no"), date: textOf(r, "date"), time: textOf(r, "time"),
                lang: textOf(r, "lang"), work: textOf(r, "sakuhinno"), guide: textOf(r, "guideno"),
                infos: infos(r)
            };
        });
        return { works: works, records: records, langs: langs };
    }

    function languageCount(table) {
        var langs = firstChild(table, "langs");
        return langs ? parseInt(langs.getAttribute("num"), 10) || 0 : 0;
    }

    // The root attributes the views read, as the style sheets read them too.
    function setRootAttributes(table) {
        table.setAttribute("selectIdx", state.selectIdx > 0 ? String(state.selectIdx) : "");
        table.setAttribute("listStart", state.listStart > 0 ? String(state.listStart) : "");
        table.setAttribute("listEnd", state.listStart > 0 ? String(state.listEnd) : "");
        table.setAttribute("sysLanguage", displayLanguage());
        table.setAttribute("language", state.language);
        table.setAttribute("listLimit", String(state.listLimit));
    }

    function resultLanguage(table, langs) {
        var wanted = table.getAttribute("language");
        if (langs.indexOf(wanted) >= 0)
            return wanted;
        return langs.length ? langs[0] : "";
    }

    function listButtons(total, limit, start, end, inTotal) {
        var html = '<div class="buttons">' + button("total", "TOTAL", "onTotal()", inTotal);
        var n = 0;
        for (var first = 1; first <= total; first += limit) {
            var last = Math.min(first + limit - 1, total);
            if (n > 0 && n % 10 === 0)
                html += "<br>";
            var label = first === last ? "LIST " + first : "LIST " + first + " ～ " + last;
            var current = start === first && (end === last || (end === 0 && last === total));
            html += button("list", label, "onList(" + first + "," + last + ")", current);
            ++n;
        }
        return html + "</div>";
    }

    function languageButtons(table, langs, current, label) {
        if (languageCount(table) <= 1 || langs.length === 0)
            return "";
        var html = '<table class="langButton"><tr><td>' + msg(label) + "</td><td>";
        langs.forEach(function (lang) {
            html += '<input type="radio" class="radio" name="lang" value="' + escapeHtml(lang) + '"' +
                (lang === current ? " checked" : "") + ' onclick="onChangeLang(\'' +
                escapeHtml(lang) + '\')">' + msg(lang);
        });
        return html + "</td></tr></table>";
    }

    function numberInput(value) {
        return '<div class="buttons">' + msg("no") +
            ' <input type="text" class="no" id="number" size="6" value="' + escapeHtml(value) +
            '" onkeydown="if (event.keyCode === 13) onNumber(this.value)"></div>';
    }

    function headersOf(lang) {
        return model.headers.filter(function (h) { return h.lang === lang; });
    }

    function answerTexts(header, record) {
        var entry = record.enqs[header.no];
        if (!entry || entry.chosen.length === 0)
            return null;
        return entry.chosen.map(function (no) {
            for (var i = 0; i < header.answers.length; ++i) {
                if (header.answers[i].no === no)
                    return header.answers[i].text;
            }
            return "";
        });
    }

    function answerCell(cls, header, record) {
        var texts = header ? answerTexts(header, record) : null;
        if (!texts)
            return '<td class="' + cls + ' gray">' + msg("noAns") + "</td>";
        return '<td class="' + cls + '">' + texts.map(brReplace).join("<br>") + "</td>";
    }

    function renderEnq(table) {
        var total = model.records.length;
        var lang = resultLanguage(table, model.langs);
        var limit = parseInt(table.getAttribute("listLimit"), 10) > 0 ? parseInt(table.getAttribute("listLimit"), 10) : 1000;
        var start = parseInt(table.getAttribute("listStart"), 10) || 0;
        var end = parseInt(table.getAttribute("listEnd"), 10) || 0;
        var select = parseInt(table.getAttribute("selectIdx"), 10) || 0;
        var headers = headersOf(lang);
        var html = topLink();
        if (total === 0)
            return html + printExp("No data.");
        var inRange = table.getAttribute("listStart") !== "";
        var inTotal = !inRange && select === 0;
        var langButtons = languageButtons(table, model.langs, lang, "enqChangeLang");

        if (inRange) {
            var last = end > 0 ? Math.min(end, total) : total;
            html += printTitle("enqTitleList") + listButtons(total, limit, start, end, false) + langButtons;
            html += '<table border="1" class="enqList"><tr><th class="no">' + msg("no") + '</th><th class="sys">' +
                msg("date") + '</th><th class="sys">' + msg("time") + '</th><th class="sys">' + msg("lang") + "</th>";
            headers.forEach(function (h) {
                html += '<th class="enq">' + brReplace(h.query) + "<br>" + msg(h.type) + "</th>";
            });
            html += "</tr>";
            for (var i = Math.max(start, 1); i <= last; ++i) {
                var r = model.records[i - 1];
                html += '<tr><td class="no">' + button("no", String(i), "onNumber(" + i + ")", false) +
                    '</td><td class="sys">' + escapeHtml(r.date) + '</td><td class="sys">' + escapeHtml(r.time) +
                    '</td><td class="sys">' + msg(r.lang) + "</td>";
                headers.forEach(function (h) { html += answerCell("enq", h, r); });
                html += "</tr>";
            }
            return html + "</table>";
        }

        if (inTotal) {
            html += printTitle("enqTitleTotal") + listButtons(total, limit, 0, 0, true) + langButtons;
            html += '<table border="1" class="enqTotal">';
            headers.forEach(function (h) {
                html += '<tr><th class="enq" colspan="2">' + escapeHtml(h.no) + ". " + brReplace(h.query) +
                    '</th><th class="total">' + msg("getCnt") + " " + msg(h.type) + '</th><th class="rate">' +
                    msg("getRate") + "</th></tr>";
                // Answers 1, 2, ... while a text exists.
                var answers = [];
                for (var k = 0; k < h.answers.length && h.answers[k].text !== ""; ++k)
                    answers.push(h.answers[k]);
                answers.forEach(function (a) {
                    var count = model.records.filter(function (r) {
                        var e = r.enqs[h.no];
                        return e && e.chosen.indexOf(a.no) >= 0;
                    }).length;
                    html += '<tr><td class="enq">' + brReplace(a.text) + '</td><td class="graph"><span class="bar" style="width:' +
                        percent(count, total) + '"></span></td><td class="total">' + count + " / " + total +
                        '</td><td class="rate"><span class="percent">' + percent(count, total) + "</span></td></tr>";
                });
                var none = model.records.filter(function (r) {
                    var e = r.enqs[h.no];
                    return e && parseInt(e.value, 16) === 0;
                }).length;
                if (none > 0)
                    html += '<tr><td class="enq gray">' + msg("noAns") + '</td><td class="graph"><span class="bar" style="width:' +
                        percent(none, total) + '"></span></td><td class="total">' + none + " / " + total +
                        '</td><td class="rate"><span class="percent">' + percent(none, total) + "</span></td></tr>";
            });
            return html + "</table>";
        }

        if (select < 1 || select > total) {
            return html + printExp(msg("no") + " " + select + " is not found.") +
                listButtons(total, limit, 0, 0, false) + langButtons;
        }

        var record = model.records[select - 1];
        html += printTitle("enqTitleOne") + listButtons(total, limit, 0, 0, false) + langButtons;
        html += '<div class="buttons">' + button("button", "PREV", "onPrev()", select <= 1) +
            ' <span id="position">' + select + " / " + total + "</span> " +
            button("button", "NEXT", "onNext()", select >= total) + "</div>" + numberInput(String(select));
        html += '<table border="1" class="enqOne">' +
            '<tr><th class="one_sys">' + msg("no") + '</th><td class="one_enq">' + select + "</td></tr>" +
            '<tr><th class="one_sys">' + msg("date") + '</th><td class="one_enq">' + escapeHtml(record.date) + "</td></tr>" +
            '<tr><th class="one_sys">' + msg("time") + '</th><td class="one_enq">' + escapeHtml(record.time) + "</td></tr>" +
            '<tr><th class="one_sys">' + msg("lang") + '</th><td class="one_enq">' + msg(record.lang) + "</td></tr>";
        var shown = headersOf(record.lang);
        if (shown.length === 0)
            shown = headers;
        shown.forEach(function (h) {
            var inResult = headers.filter(function (x) { return x.no === h.no; })[0] || h;
            html += '<tr><th class="one_sys">' + brReplace(inResult.query) + "<br>" + msg(inResult.type) + "</th>" +
                answerCell("one_enq", inResult, record) + "</tr>";
        });
        return html + "</table>";
    }

    function renderLog(table) {
        var total = model.records.length;
        var lang = resultLanguage(table, model.langs);
        var limit = parseInt(table.getAttribute("listLimit"), 10) > 0 ? parseInt(table.getAttribute("listLimit"), 10) : 1000;
        var start = parseInt(table.getAttribute("listStart"), 10) || 0;
        var end = parseInt(table.getAttribute("listEnd"), 10) || 0;
        var html = topLink();
        if (total === 0)
            return html + printExp("No data.");
        var inRange = table.getAttribute("listStart") !== "";
        var langButtons = languageButtons(table, model.langs, lang, "logChangeLang");
        var info = function (infos) {
            var text = infos[lang];
            return text ? '<td class="log_info">' + brReplace(text) + "</td>" : '<td class="log_info gray">-</td>';
        };
        if (inRange) {
            var last = end > 0 ? Math.min(end, total) : total;
            html += printTitle("logTitleList") + listButtons(total, limit, start, end, false) + langButtons;
            html += '<table border="1" class="logList"><tr><th class="no">' + msg("no") + '</th><th class="sys">' +
                msg("date") + '</th><th class="sys">' + msg("time") + '</th><th class="sys">' + msg("lang") +
                '</th><th class="log_no">' + msg("sakuhinno") + '</th><th class="log_no">' + msg("guideno") +
                '</th><th class="log_info">' + msg("info") + "</th></tr>";
            for (var i = Math.max(start, 1); i <= last; ++i) {
                var r = model.records[i - 1];
                html += '<tr><td class="no">' + i + '</td><td class="sys">' + escapeHtml(r.date) + '</td><td class="sys">' +
                    escapeHtml(r.time) + '</td><td class="sys">' + msg(r.lang) + '</td><td class="log_no">' +
                    escapeHtml(r.work) + '</td><td class="log_no">' + escapeHtml(r.guide) + "</td>" + info(r.infos) + "</tr>";
            }
            return html + "</table>";
        }
        var counts = {};
        model.records.forEach(function (r) {
            var key = r.work + "/" + r.guide;
            counts[key] = (counts[key] || 0) + 1;
        });
        html += printTitle("logTitleTotal") + listButtons(total, limit, 0, 0, true) + langButtons;
        html += '<table border="1" class="logTotal"><tr><th class="log_no">' + msg("sakuhinno") +
            '</th><th class="log_no">' + msg("guideno") + '</th><th class="log_info">' + msg("info") +
            '</th><th class="total">' + msg("access") + "</th></tr>";
        model.works.forEach(function (w) {
            html += '<tr><td class="log_no">' + escapeHtml(w.work) + '</td><td class="log_no">' + escapeHtml(w.guide) +
                "</td>" + info(w.infos) + '<td class="total">' + (counts[w.work + "/" + w.guide] || 0) + "</td></tr>";
        });
        return html + "</table>";
    }

    function render() {
        var target = document.getElementById("xslt");
        if (!report) {
            target.innerHTML = "<p>" + escapeHtml(xmlName) + ": the report could not be read.</p>";
            return;
        }
        var table = report.documentElement;
        setRootAttributes(table);
        target.innerHTML = kind === "enq" ? renderEnq(table) : renderLog(table);
    }

    function count() {
        return model ? model.records.length : 0;
    }

    function start(pageKind) {
        kind = pageKind;
        var href = String(window.location.href);
        var xml = /\?xml=([A-Za-z0-9_]+\.xml)/i.exec(href);
        xmlName = xml ? xml[1] : (kind === "enq" ? "ENQ_00.xml" : "LOG.xml");
        var lang = /\?sysLang=([A-Za-z]+)/.exec(href);
        sysLang = lang ? lang[1] : "English";
        var japanese = sysLang.indexOf("Japanese") >= 0;
        document.title = kind === "enq" ? (japanese ? "アンケート結果" : "Survey results")
            : (japanese ? "アクセスログ" : "Access log");
        document.documentElement.lang = japanese ? "ja" : "en";

        var pending = 2;
        var loaded = function () {
            if (--pending > 0)
                return;
            var define = parse("tovk_define.xml");
            if (define) {
                childElements(define.documentElement, "msglist").forEach(function (list) {
                    if (list.getAttribute("lang") === displayLanguage())
                        labels = list;
                });
            }
            report = parse(xmlName);
            if (report)
                model = kind === "enq" ? buildEnqModel(report.documentElement) : buildLogModel(report.documentElement);
            render();
        };
        loadScript("tovk_define.xml.js", loaded);
        loadScript(xmlName + ".js", loaded);
    }

    return {
        start: start,
        onTotal: function () {
            state.selectIdx = 0;
            state.listStart = 0;
            state.listEnd = 0;
            render();
        },
        onList: function (first, last) {
            state.selectIdx = 0;
            state.listStart = first;
            state.listEnd = last;
            render();
        },
        onChangeLang: function (name) {
            state.language = name;
            render();
        },
        onNumber: function (n) {
            state.selectIdx = parseInt(n, 10) || 0;
            state.listStart = 0;
            state.listEnd = 0;
            render();
        },
        onPrev: function () {
            if (state.selectIdx > 1)
                state.selectIdx -= 1;
            render();
        },
        onNext: function () {
            if (state.selectIdx < count())
                state.selectIdx += 1;
            render();
        }
    };
})();

function onTotal() { TovkView.onTotal(); }
function onList(first, last) { TovkView.onList(first, last); }
function onChangeLang(name) { TovkView.onChangeLang(name); }
function onNumber(n) { TovkView.onNumber(n); }
function onPrev() { TovkView.onPrev(); }
function onNext() { TovkView.onNext(); }
