#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_SCRIPTS_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_SCRIPTS_H_

// The functions the adapter runs inside the page, each called with the element it reads
// as `this`. A text they throw is the error the program sees.

namespace harvelo::page_scripts {

// The element's content as HTML: Chromium's own serialisation (attributes and text escaped
// as its innerHTML escapes them), except that element names come from tagName ("IMG"), and
// that elements which are not HTML elements (unknown tags such as the marker tags, custom
// elements nobody defined, SVG and MathML) are written as empty elements with their name
// in capitals, "<QXSOURCE value="x" />", followed by their content and no end tag.
inline constexpr char kInnerHtml[] = R"js(function () {
  const HTML = 'http://www.w3.org/1999/xhtml';
  const RAW_TEXT = new Set(['style', 'script', 'xmp', 'iframe', 'noembed', 'noframes',
                            'plaintext', 'noscript']);
  const isHtml = (e) => e.namespaceURI === HTML && !(e instanceof HTMLUnknownElement) &&
      !(e.localName.includes('-') && !customElements.get(e.localName));
  const escapeText = (t) => t.replace(/&/g, '&amp;').replace(/\u00a0/g, '&nbsp;')
      .replace(/</g, '&lt;').replace(/>/g, '&gt;');
  const out = [];
  const children = (node) => {
    const host = node.nodeType === 1 && node.namespaceURI === HTML &&
        node.localName === 'template' ? node.content : node;
    for (let child = host.firstChild; child; child = child.nextSibling) write(child, node);
  };
  const write = (node, parent) => {
    switch (node.nodeType) {
      case 1: {
        // A shallow copy serialises the start tag, attributes escaped by the browser.
        const shallow = node.cloneNode(false).outerHTML;
        const name = node.tagName;
        const end = '</' + shallow.substr(1, name.length) + '>';
        const hasEnd = shallow.endsWith(end);
        const attributes = shallow.slice(1 + name.length,
            hasEnd ? shallow.length - end.length - 1 : shallow.length - 1);
        if (!isHtml(node)) {
          out.push('<' + name.toUpperCase() + attributes + ' />');
          children(node);
        } else if (hasEnd) {
          out.push('<' + name + attributes + '>');
          children(node);
          out.push('</' + name + '>');
        } else {
          out.push('<' + name + attributes + '>');
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

inline constexpr char kLength[] = R"js(function () { return this.length; })js";

inline constexpr char kItem[] = R"js(function (index) {
  const item = this[index];
  if (!item) throw 'Invalid procedure call or argument';
  return item;
})js";

inline constexpr char kDocumentElement[] = R"js(function () {
  if (!this.documentElement) throw 'Object variable not set';
  return this.documentElement;
})js";

}  // namespace harvelo::page_scripts

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_SCRIPTS_H_
