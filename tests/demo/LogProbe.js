// Appended to a copy of a log page: writes, into the page, one line per header row and per log
// line with its text, whether it takes up room on the page, and its computed colour.
(function () {
    const probe = [];
    const describe = (kind, element, text) => {
        const box = element.getBoundingClientRect();
        const shown = box.width > 0 && box.height > 0 ? "shown" : "hidden";
        probe.push([kind, text.replace(/\s+/g, " ").trim(), shown,
                    getComputedStyle(element).color].join("|"));
    };
    for (const row of document.querySelectorAll("table.header tr"))
        describe("row", row, row.cells.length === 2 ? row.cells[0].textContent : "?");
    for (const line of document.querySelectorAll("pre.log .logLine"))
        describe("line", line, line.textContent);
    const out = document.createElement("textarea");
    out.id = "probe";
    out.textContent = "\nPROBE\n" + probe.join("\n") + "\nEND\n";
    document.body.appendChild(out);
})();
