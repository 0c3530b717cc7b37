#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_SCRIPTS_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_SCRIPTS_H_

// The functions the adapter runs inside the page, each called with the element or document it
// reads as `this`. They run in the adapter's own world (page_reader.h), where the built-ins and
// prototypes are the browser's own whatever the page's scripts did to theirs; the DOM itself
// (elements, attributes, whether a custom element is defined) is shared with the page. A text
// they throw is the error the program sees.

namespace harvelo::page_scripts {

// The element's content as HTML: Chromium's own serialisation (attributes and text escaped
// as its innerHTML escapes them, void elements without end tags), except that element names come
// from tagName ("IMG"), and that elements which are not HTML elements (unknown tags such as the
// marker tags, custom elements nobody defined, SVG and MathML) are written as empty elements with
// their name in capitals, "<QXSOURCE value="x" />", followed by their content and no end tag.
inline constexpr char kInnerHtml[] = R"js(function () {
  const HTML = 'http://www.w3.org/1999/xhtml';
  const RAW_TEXT = new Set(['style', 'script', 'xmp', 'iframe', 'noembed', 'noframes',
                            'plaintext', 'noscript']);
  const VOID = new Set(['area', 'base', 'basefont', 'bgsound', 'br', 'col', 'embed', 'frame',
                        'hr', 'img', 'input', 'keygen', 'link', 'meta', 'param', 'source',
                        'track', 'wbr']);
  // A custom element that nobody defined does not match :defined; the page's registry of
  // definitions is out of this world's sight, the state of the element is not.
  const isHtml = (e) => e.namespaceURI === HTML && !(e instanceof HTMLUnknownElement) &&
      !(e.localName.includes('-') && !e.matches(':defined'));
  const TEXT_ESCAPES = {'&': '&amp;', '\u00a0': '&nbsp;', '<': '&lt;', '>': '&gt;'};
  const ATTRIBUTE_ESCAPES = {'&': '&amp;', '\u00a0': '&nbsp;', '"': '&quot;', '<': '&lt;',
                             '>': '&gt;'};
  const escapeText = (t) => t.replace(/[&\u00a0<>]/g, (c) => TEXT_ESCAPES[c]);
  const escapeAttribute = (t) => t.replace(/[&\u00a0"<>]/g, (c) => ATTRIBUTE_ESCAPES[c]);
  const out = [];
  const children = (node) => {
    const host = node.nodeType === 1 && node.namespaceURI === HTML &&
        node.localName === 'template' ? node.content : node;
    for (let child = host.firstChild; child; child = child.nextSibling) write(child, node);
  };
  const write = (node, parent) => {
    switch (node.nodeType) {
      case 1: {
        let attributes = '';
        for (const attribute of node.attributes) {
          attributes += ' ' + attribute.name + '="' + escapeAttribute(attribute.value) + '"';
        }
        const name = node.tagName;
        if (!isHtml(node)) {
          out.push('<' + name.toUpperCase() + attributes + ' />');
          children(node);
        } else if (VOID.has(node.localName)) {
          out.push('<' + name + attributes + '>');
        } else {
          out.push('<' + name + attributes + '>');
          children(node);
          out.push('</' + name + '>');
        }
        break;
      }
      case 3:
        out.push(parent.nodeType === 1 && parent.namespaceURI === HTML &&
                 RAW_TEXT.has(parent.localName) ? node.data : escapeText(node.data));
        break;
      case 4:
        out.push('<![CDATA[' + node.data + ']]>');
        break;
      case 7:
        out.push('<?' + node.target + ' ' + node.data + '>');
        break;
      case 8:
        out.push('<!--' + node.data + '-->');
        break;
      case 10:
        out.push('<!DOCTYPE ' + node.name + '>');
        break;
    }
  };
  children(this);
  return out.join('');
})js";

// The element's address. Links and other elements with an href property give it; an
// image gives its src as the document resolves it, its absolute address; any other
// element has no such property.
inline constexpr char kHref[] = R"js(function () {
  if (this instanceof HTMLImageElement) return this.src;
  if (!('href' in this)) throw "Object doesn't support this property or method";
  const href = this.href;
  return typeof href === 'object' && href !== null && 'baseVal' in href ? href.baseVal
                                                                        : String(href);
})js";

inline constexpr char kParentElement[] = R"js(function () {
  if (!this.parentElement) throw 'Object variable not set';
  return this.parentElement;
})js";

inline constexpr char kItem[] = R"js(function (index) {
  const item = this[index];
  if (!item) throw 'Invalid procedure call or argument';
  return item;
})js";

// What the scan reads of every item of the collection `this`, taken in one run, so that every
// item answers as the document stood at that moment. Called with the functions above that read
// an element (innerHtml, href, parentElement) and with which reads to take: the item's
// innerHTML, its href, its parent with the parent's href. Answers a holder for the calls that
// follow: the items, their parents, and one row per item [innerHTML, href, parent, parent's
// href]. A value is the text read (a parent that was found reads ""), null when not taken, or
// {thrown}: what the read threw, as the protocol describes a thrown value.
inline constexpr char kSnapshot[] = R"js(function (innerHtml, href, parentElement, takeInnerHtml,
                                             takeHref, takeParent) {
  const attempt = (read, subject) => {
    try {
      return {value: read.call(subject)};
    } catch (thrown) {
      return {thrown: typeof thrown === 'string'
          ? {value: thrown}
          : {description: (thrown instanceof Error && thrown.stack) || String(thrown)}};
    }
  };
  const taken = (result) => 'thrown' in result ? result : result.value;
  const items = Array.from(this);
  const parents = [];
  const rows = items.map((item, i) => {
    const row = [takeInnerHtml ? taken(attempt(innerHtml, item)) : null,
                 takeHref ? taken(attempt(href, item)) : null, null, null];
    if (takeParent) {
      const parent = attempt(parentElement, item);
      if ('thrown' in parent) {
        row[2] = parent;
      } else {
        parents[i] = parent.value;
        row[2] = '';
        row[3] = taken(attempt(href, parent.value));
      }
    }
    return row;
  });
  return {items, parents, rows};
})js";

// The rows of the holder `this` from `from` on, as many as come to about `budget` characters of
// text (one at least), and the number of rows in all: {length, rows} written as JSON, as one
// text crosses the protocol much faster than the same values as objects.
inline constexpr char kSnapshotRows[] = R"js(function (from, budget) {
  const rows = [];
  for (let i = from, size = 0; i < this.rows.length && size < budget; ++i) {
    rows.push(this.rows[i]);
    for (const value of this.rows[i]) size += typeof value === 'string' ? value.length : 1;
  }
  return JSON.stringify({length: this.rows.length, rows});
})js";

// Item %1 of the holder `this`, and that item's parent.
inline constexpr char kSnapshotItem[] = R"js(function () { return this.items[%1]; })js";
inline constexpr char kSnapshotParent[] = R"js(function () { return this.parents[%1]; })js";

// These take the document as `this`.
inline constexpr char kDocumentElement[] = R"js(function () {
  if (!this.documentElement) throw 'Object variable not set';
  return this.documentElement;
})js";

inline constexpr char kLinks[] = R"js(function () { return this.links; })js";

inline constexpr char kImages[] = R"js(function () { return this.images; })js";

// The page's title, as its window is named after it, when the page is the one its window
// shows (its document is visible); null for a page behind another tab.
inline constexpr char kShownTitle[] = R"js(function () {
  return this.visibilityState === 'visible' ? this.title : null;
})js";

}  // namespace harvelo::page_scripts

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_SCRIPTS_H_
