#include "review/review_page_script.h"

const char REVIEW_PAGE_SCRIPT[] = R"JS(
(function () {
  "use strict";
  var R = REVIEW;
  var base = R.date ? Date.UTC(R.date[0], R.date[1] - 1, R.date[2]) : 0;
  function when(t) { return base + t * 1000; }
  function pad(n) { return (n < 10 ? "0" : "") + n; }
  function timeOfDay(ms) {
    var d = new Date(ms);
    return pad(d.getUTCHours()) + ":" + pad(d.getUTCMinutes()) + ":" + pad(d.getUTCSeconds()) +
           "." + Math.floor(d.getUTCMilliseconds() / 100);
  }

  // Flat [t, v, t, v, ...] series merged into rows on one time axis, null
  // where a series has no point at that time.
  function rows(list) {
    var at = list.map(function () { return 0; });
    var out = [];
    for (;;) {
      var t = Infinity, i;
      for (i = 0; i < list.length; i++)
        if (at[i] < list[i].length && list[i][at[i]] < t) t = list[i][at[i]];
      if (t === Infinity) return out;
      var row = [new Date(when(t))];
      for (i = 0; i < list.length; i++) {
        if (at[i] < list[i].length && list[i][at[i]] === t) {
          row.push(list[i][at[i] + 1]);
          at[i] += 2;
        } else {
          row.push(null);
        }
      }
      out.push(row);
    }
  }

  function clampY(area, y) { return Math.min(Math.max(y, area.y), area.y + area.h); }

  // Alarm periods shaded, take-offs and landings marked.
  function shadeTimes(canvas, area, g) {
    R.alarms.forEach(function (a) {
      var x0 = g.toDomXCoord(when(a[0])), x1 = g.toDomXCoord(when(a[1]));
      canvas.fillStyle = a[2] === "overspeed" ? "rgba(214, 40, 40, 0.30)" : "rgba(128, 60, 200, 0.30)";
      canvas.fillRect(x0, area.y, Math.max(x1 - x0, 2), area.h);
    });
    function mark(times, colour, label) {
      canvas.fillStyle = colour;
      canvas.font = "11px sans-serif";
      times.forEach(function (t) {
        var x = g.toDomXCoord(when(t));
        if (x < area.x || x > area.x + area.w) return;
        canvas.fillRect(x - 1, area.y, 2, area.h);
        // Beside the line, on its left where the plot ends on its right.
        var width = canvas.measureText(label).width;
        canvas.fillText(label, x + 3 + width > area.x + area.w ? x - 3 - width : x + 3, area.y + 11);
      });
    }
    mark(R.takeoffs, "#1b7f3b", "take-off");
    mark(R.landings, "#1f4f9a", "landing");
  }

  // The ASI's colour bands from the instrument's speed limits.
  function airspeedBands(canvas, area, g) {
    var L = R.limits, top = g.yAxisRange()[1];
    function band(low, high, colour) {
      if (high <= low) return;
      var y0 = clampY(area, g.toDomYCoord(high)), y1 = clampY(area, g.toDomYCoord(low));
      canvas.fillStyle = colour;
      canvas.fillRect(area.x, y0, area.w, y1 - y0);
    }
    band(0, L.vs1, "rgba(214, 40, 40, 0.12)");
    band(L.vno, L.vne, "rgba(240, 190, 0, 0.25)");
    band(L.vne, Math.max(L.vne, top), "rgba(214, 40, 40, 0.22)");
    shadeTimes(canvas, area, g);
  }

  var graphs = [], following = false;
  function follow(me) {
    if (following) return;
    following = true;
    var range = me.xAxisRange();
    graphs.forEach(function (g) { if (g !== me) g.updateOptions({dateWindow: range}); });
    following = false;
  }

  function plot(id, series, labels, unit, colours, extra) {
    var div = document.getElementById(id);
    var options = {
      labels: ["time"].concat(labels),
      colors: colours,
      ylabel: unit,
      labelsUTC: true,
      legend: "always",
      labelsDiv: id + "-legend",
      labelsSeparateLines: false,
      connectSeparatedPoints: true,
      strokeWidth: 1.5,
      axes: {x: {valueFormatter: timeOfDay, pixelsPerLabel: 60}},
      underlayCallback: shadeTimes,
      drawCallback: function (g, initial) {
        if (initial) div.setAttribute("data-drawn", "yes");
        else follow(g);
      }
    };
    for (var k in extra) options[k] = extra[k];
    graphs.push(new Dygraph(div, rows(series), options));
  }

  var highest = 0, i;
  for (i = 1; i < R.airspeed.length; i += 2) highest = Math.max(highest, R.airspeed[i]);
  // The logged altitude broad and pale underneath, the altitude shown on top.
  var under = {};
  under[R.logged_name] = {strokeWidth: 4};
  plot("altitude-plot", [R.logged_altitude, R.altitude], [R.logged_name, "altitude shown"],
       R.altitude_unit, ["#b8c4cc", "#c0392b"], {series: under});
  plot("vsi-plot", [R.vertical_speed], ["vertical speed shown"], R.vsi_unit, ["#1b7f3b"], {});
  plot("airspeed-plot", [R.airspeed], ["airspeed shown"], R.speed_unit, ["#1f4f9a"],
       {underlayCallback: airspeedBands, valueRange: [0, Math.max(highest, R.limits.vne) * 1.1],
        showRangeSelector: true, rangeSelectorHeight: 30});

  window.addEventListener("resize", function () { graphs.forEach(function (g) { g.resize(); }); });

  // A picture's time shown in the plots, a minute either side.
  Array.prototype.forEach.call(document.querySelectorAll("figure[data-time]"), function (figure) {
    figure.addEventListener("click", function () {
      var t = parseFloat(figure.getAttribute("data-time"));
      graphs[0].updateOptions({dateWindow: [when(t - 60), when(t + 60)]});
      follow(graphs[0]);
      document.getElementById("plots").scrollIntoView({behavior: "smooth"});
    });
  });
})();
)JS";

const char REVIEW_PAGE_STYLE[] = R"CSS(
body { font-family: sans-serif; margin: 0 auto; max-width: 1100px; padding: 0 16px 32px; color: #222; }
h1 { font-size: 1.6em; margin: 16px 0 4px; }
h2 { font-size: 1.2em; margin: 28px 0 8px; border-bottom: 1px solid #ccc; }
.log-name { color: #555; margin: 0; word-break: break-all; }
table { border-collapse: collapse; }
th, td { text-align: left; vertical-align: top; padding: 3px 12px 3px 0; }
th { font-weight: normal; color: #555; white-space: nowrap; }
.plot { width: 100%; height: 240px; }
.legend { font-size: 0.85em; min-height: 1.4em; margin: 2px 0 14px; }
.key { font-size: 0.85em; color: #444; margin: 4px 0 14px; }
.key-item { white-space: nowrap; }
.swatch { display: inline-block; width: 14px; height: 10px; margin: 0 4px 0 10px; vertical-align: baseline; }
.hint { color: #555; font-size: 0.9em; }
.moments { display: grid; grid-template-columns: repeat(auto-fill, minmax(240px, 1fr)); gap: 16px; }
figure { margin: 0; cursor: pointer; }
figure img { width: 100%; height: auto; max-width: 320px; image-rendering: pixelated; display: block; border: 1px solid #888; }
figcaption { font-size: 0.9em; margin-top: 4px; }
figcaption time { font-weight: bold; }
footer { margin-top: 32px; color: #777; font-size: 0.85em; }
@media (max-width: 600px) {
  body { padding: 0 10px 24px; }
  .plot { height: 200px; }
  th, td { padding-right: 8px; }
  .moments { grid-template-columns: repeat(auto-fill, minmax(160px, 1fr)); gap: 10px; }
}
)CSS";
